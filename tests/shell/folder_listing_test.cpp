#include "shell/folder_listing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace tavorin {
namespace {

struct Expected {
    bool isFolder;
    bool isFile;
    bool isLink;
};

// Every kind of entry a Song Folder can hold, each with the type the listing must report:
// links count as what they lead to, a dangling link and a pipe as neither file nor folder.
TEST(FolderListingTest, ReportsEachEntryWithTheTypeItLeadsTo) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir root(temp.path());
    QFile song(root.filePath(QStringLiteral("歌.MP3")));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.close();
    ASSERT_TRUE(QFile(root.filePath(QStringLiteral(".hidden.mp3"))).open(QIODevice::WriteOnly));
    ASSERT_TRUE(root.mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(root.mkdir(QStringLiteral(".cache")));
    std::map<QString, Expected> expected = {
        {QStringLiteral("歌.MP3"), {false, true, false}},
        {QStringLiteral(".hidden.mp3"), {false, true, false}},
        {QStringLiteral("sub"), {true, false, false}},
        {QStringLiteral(".cache"), {true, false, false}},
    };
#ifdef Q_OS_UNIX
    ASSERT_TRUE(
        QFile::link(root.filePath(QStringLiteral("sub")), root.filePath(QStringLiteral("to-sub"))));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("歌.MP3")),
                            root.filePath(QStringLiteral("to-song.mp3"))));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("gone")),
                            root.filePath(QStringLiteral("dangling.mp3"))));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(root.filePath(QStringLiteral("pipe.mp3"))).constData(), 0600),
        0);
    expected.insert({QStringLiteral("to-sub"), {true, false, true}});
    expected.insert({QStringLiteral("to-song.mp3"), {false, true, true}});
    expected.insert({QStringLiteral("dangling.mp3"), {false, false, true}});
    expected.insert({QStringLiteral("pipe.mp3"), {false, false, false}});
#endif

    const std::vector<FolderEntry> entries = listFolder(temp.path());
    ASSERT_EQ(entries.size(), expected.size());
    for (const FolderEntry& entry : entries) {
        SCOPED_TRACE(entry.name.toStdString());
        const auto wanted = expected.find(entry.name);
        ASSERT_NE(wanted, expected.end());
        EXPECT_EQ(entry.isFolder, wanted->second.isFolder);
        EXPECT_EQ(entry.isFile, wanted->second.isFile);
        EXPECT_EQ(entry.isLink, wanted->second.isLink);
    }
}

TEST(FolderListingTest, AFolderThatCannotBeReadListsNothing) {
    EXPECT_TRUE(listFolder(QStringLiteral("/no/such/folder")).empty());
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString file = temp.filePath(QStringLiteral("plain.txt"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    EXPECT_TRUE(listFolder(file).empty());
}

} // namespace
} // namespace tavorin
