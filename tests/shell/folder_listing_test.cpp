#include "shell/folder_listing.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include <sys/stat.h>

namespace tavorin {
namespace {

// Links count as what they lead to, a dangling link and a pipe as neither file nor folder; a
// folder that cannot be read lists nothing.
TEST(FolderListingTest, ReportsEachEntryWithTheTypeItLeadsTo) {
    QTemporaryDir temp;
    const QDir root(temp.path());
    ASSERT_TRUE(QFile(root.filePath(u"歌.MP3"_qs)).open(QIODevice::WriteOnly) &&
                QFile(root.filePath(u".hidden.mp3"_qs)).open(QIODevice::WriteOnly) &&
                root.mkdir(u"sub"_qs) && root.mkdir(u".cache"_qs) &&
                QFile::link(root.filePath(u"sub"_qs), root.filePath(u"to-sub"_qs)) &&
                QFile::link(root.filePath(u"歌.MP3"_qs), root.filePath(u"to-song.mp3"_qs)) &&
                QFile::link(root.filePath(u"gone"_qs), root.filePath(u"dangling.mp3"_qs)));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root.filePath(u"pipe.mp3"_qs)).constData(), 0600), 0);
    using Kind = std::tuple<bool, bool, bool>; // folder, file, link
    const std::map<QString, Kind> expected = {
        {u"歌.MP3"_qs, {false, true, false}},       {u".hidden.mp3"_qs, {false, true, false}},
        {u"sub"_qs, {true, false, false}},          {u".cache"_qs, {true, false, false}},
        {u"to-sub"_qs, {true, false, true}},        {u"to-song.mp3"_qs, {false, true, true}},
        {u"dangling.mp3"_qs, {false, false, true}}, {u"pipe.mp3"_qs, {false, false, false}}};
    std::map<QString, Kind> listed;
    for (const FolderEntry& entry : listFolder(temp.path())) {
        listed[entry.name] = {entry.isFolder, entry.isFile, entry.isLink};
    }
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(listFolder(temp.filePath(u"missing"_qs)).empty());
    EXPECT_TRUE(listFolder(root.filePath(u"歌.MP3"_qs)).empty());
}

} // namespace
} // namespace tavorin
