#include "run/lyrics_file_list.h"
#include "run/run_test_support.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// Each row: the paths dropped, then the list they give.
TEST(LyricsFileList, KeepsEachLyricsFileOnceInAscendingOrderIgnoringCase) {
    const char* cases[][2] = {
        {"/l/Song.TXT|/l/a.lrc|/l/b.KrA|/l/.txt", "/l/.txt|/l/a.lrc|/l/b.KrA|/l/Song.TXT"},
        {"/l/c.mp3|/l/d.txt.bak|/l/none|/l.txt/readme|/l/e.|/l/f.text|/l/g.txt", "/l/g.txt"},
        {"/l/song.TXT|/L/Song.txt|/l/song.TXT", "/l/song.TXT"},
        {"/l/sub/a.txt|/l/Z.txt|/l/b.lrc|/l/a10.txt|/l/a2.txt",
         "/l/a10.txt|/l/a2.txt|/l/b.lrc|/l/sub/a.txt|/l/Z.txt"}};
    for (const auto& [dropped, listed] : cases) {
        LyricsFileList list;
        for (const QString& path : texts(dropped)) {
            list.add(path);
        }
        EXPECT_EQ(list.entries(), texts(listed)) << dropped;
    }
}

} // namespace
} // namespace tavorin
