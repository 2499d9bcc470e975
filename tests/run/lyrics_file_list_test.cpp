#include "run/lyrics_file_list.h"
#include "run/run_test_support.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

TEST(LyricsFileList, KeepsEachLyricsFileOnceInAscendingOrderIgnoringCase) {
    const struct {
        const char* dropped;
        const char* listed;
    } cases[] = {
        {"/l/Song.TXT|/l/a.lrc|/l/b.KrA|/l/.txt", "/l/.txt|/l/a.lrc|/l/b.KrA|/l/Song.TXT"},
        {"/l/c.mp3|/l/d.txt.bak|/l/none|/l.txt/readme|/l/e.|/l/f.text|/l/g.txt", "/l/g.txt"},
        {"/l/song.TXT|/L/Song.txt|/l/song.TXT", "/l/song.TXT"},
        {"/l/B.txt|/l/a.txt|/l/C.txt", "/l/a.txt|/l/B.txt|/l/C.txt"},
        {"/l/sub/a.txt|/l/Z.txt|/l/b.lrc", "/l/b.lrc|/l/sub/a.txt|/l/Z.txt"},
        {"/l/a10.txt|/l/a2.txt|/l/a1.txt", "/l/a1.txt|/l/a10.txt|/l/a2.txt"},
    };
    for (const auto& c : cases) {
        LyricsFileList list;
        for (const QString& path : texts(c.dropped)) {
            list.add(path);
        }
        EXPECT_EQ(list.entries(), texts(c.listed)) << c.dropped;
    }
}

} // namespace
} // namespace tavorin
