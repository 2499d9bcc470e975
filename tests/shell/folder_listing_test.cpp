#include "shell/folder_listing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>

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

#ifdef Q_OS_UNIX
// Shift-JIS names from old archives: no text names them, so they are kept apart, with their
// type, for the caller to report.
TEST(FolderListingTest, NamesThatAreNotUtf8AreListedApartAndShownEscaped) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QByteArray root = QFile::encodeName(temp.path()) + '/';
    ASSERT_TRUE(QFile(temp.filePath(QStringLiteral("good.mp3"))).open(QIODevice::WriteOnly));
    ASSERT_TRUE(
        QFile(QFile::decodeName(root) + QStringLiteral("\uFFFD.mp3")).open(QIODevice::WriteOnly));
    const int file = ::open((root + "\x89\xcc.mp3").constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(file, 0);
    ::close(file);
    ASSERT_EQ(::mkdir((root + "a\xff").constData(), 0700), 0);

    std::vector<FolderEntry> unreadable;
    const std::vector<FolderEntry> entries = listFolder(temp.path(), unreadable);
    QStringList names;
    for (const FolderEntry& entry : entries) {
        names.append(entry.name);
    }
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral("good.mp3"), QStringLiteral("\uFFFD.mp3")}));
    ASSERT_EQ(unreadable.size(), 2U);
    std::sort(unreadable.begin(), unreadable.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    EXPECT_EQ(unreadable[0].name, QStringLiteral("\\x89\\xcc.mp3"));
    EXPECT_TRUE(unreadable[0].isFile);
    EXPECT_EQ(unreadable[1].name, QStringLiteral("a\\xff"));
    EXPECT_TRUE(unreadable[1].isFolder);
    EXPECT_EQ(listFolder(temp.path()).size(), 2U);
    // Qt cannot name these files either, so it could not remove them.
    std::filesystem::remove_all(root.toStdString());
}
#endif

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
