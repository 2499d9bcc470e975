#include "run/lyrics_file_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavorin {
namespace {

QStringList toList(const std::vector<const char*>& paths) {
    QStringList list;
    for (const char* path : paths) {
        list.append(QString::fromUtf8(path));
    }
    return list;
}

TEST(LyricsFileList, KeepsOnlyLyricsFilesByExtensionInAnyCase) {
    const struct {
        const char* path;
        bool added;
    } cases[] = {
        {"/lyrics/Song.TXT", true}, {"/lyrics/a.lrc", true},      {"/lyrics/b.KrA", true},
        {"/lyrics/c.mp3", false},   {"/lyrics/d.txt.bak", false}, {"/lyrics/noextension", false},
        {"/lyrics/.txt", true},     {"/lyr.txt/readme", false},   {"/lyrics/e.", false},
        {"/lyrics/f.text", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        LyricsFileList list;
        EXPECT_EQ(list.add(QString::fromUtf8(c.path)), c.added);
        EXPECT_EQ(list.size(), c.added ? 1 : 0);
    }
}

TEST(LyricsFileList, DuplicateIgnoringCaseIsSkippedAndTheFirstSpellingKept) {
    LyricsFileList list;
    EXPECT_TRUE(list.add(QStringLiteral("/lyrics/song.TXT")));
    EXPECT_FALSE(list.add(QStringLiteral("/Lyrics/Song.txt")));
    EXPECT_FALSE(list.add(QStringLiteral("/lyrics/song.TXT")));
    EXPECT_EQ(list.entries(), QStringList{QStringLiteral("/lyrics/song.TXT")});
}

TEST(LyricsFileList, EntriesStayInAscendingOrderIgnoringCase) {
    const struct {
        std::vector<const char*> dropped;
        std::vector<const char*> listed;
    } cases[] = {
        {{"/l/c.txt", "/l/a.txt", "/l/b.txt"}, {"/l/a.txt", "/l/b.txt", "/l/c.txt"}},
        {{"/l/B.txt", "/l/a.txt", "/l/C.txt"}, {"/l/a.txt", "/l/B.txt", "/l/C.txt"}},
        {{"/l/sub/a.txt", "/l/Z.txt", "/l/b.lrc"}, {"/l/b.lrc", "/l/sub/a.txt", "/l/Z.txt"}},
        {{"/l/a10.txt", "/l/a2.txt", "/l/a1.txt"}, {"/l/a1.txt", "/l/a10.txt", "/l/a2.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toList(c.dropped).join(u' ').toStdString());
        LyricsFileList list;
        for (const QString& path : toList(c.dropped)) {
            list.add(path);
        }
        EXPECT_EQ(list.entries(), toList(c.listed));
    }
}

} // namespace
} // namespace tavorin
