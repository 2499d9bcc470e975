#include "run/run_test_support.h"
#include "run/song_index.h"
#include "run/song_lookup.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

class SongIndexTest : public ::testing::Test {
protected:
    QString root() const { return temp.path() + u'/'; }
    void touch(const char* relatives) {
        for (const QString& relative : texts(relatives)) {
            ASSERT_TRUE(writeBytes(root() + relative, "song"));
        }
    }
    void makeFifo(const char* relative) {
        ASSERT_EQ(
            ::mkfifo(QFile::encodeName(root() + QString::fromUtf8(relative)).constData(), 0600), 0);
    }
    QString relative(const QStringList& paths) const {
        return QStringList(paths).replaceInStrings(root(), QString()).join(u'|');
    }

    QTemporaryDir temp;
};

TEST_F(SongIndexTest, IndexOrderIsDepthFirstOwnSongsFirstPreferredExtensionFirst) {
    touch("M/b.mp3|M/A.RMP|M/a.mp3|M/c.MP3|M/notes.txt|M/sub/a.mp3|M/Sub2/deep/z.rmp|M/Sub2/y.mp3|"
          "M/.cache/hidden.mp3|M/folder.mp3/inner.mp3");
    for (const auto& [preferRmp, expected] :
         {std::pair(false, "M/a.mp3|M/b.mp3|M/c.MP3|M/A.RMP|M/folder.mp3/inner.mp3|M/sub/a.mp3|"
                           "M/Sub2/y.mp3|M/Sub2/deep/z.rmp"),
          {true, "M/A.RMP|M/a.mp3|M/b.mp3|M/c.MP3|M/folder.mp3/inner.mp3|M/sub/a.mp3|"
                 "M/Sub2/y.mp3|M/Sub2/deep/z.rmp"}}) {
        SongIndex index;
        int events = 0;
        index.build(root() + "M"_L1, preferRmp, [&] { ++events; });
        EXPECT_EQ(relative(index.entries()), QString::fromUtf8(expected));
        EXPECT_EQ(events, 8 + 4); // once per song found and once per subfolder walked
    }
}

TEST_F(SongIndexTest, LinkCyclesAreWalkedOnceAndBuildingAgainStartsEmpty) {
    touch("M/a.mp3|M/sub/b.mp3");
    ASSERT_TRUE(QFile::link(root() + "M"_L1, root() + "M/sub/loop"_L1));
    ASSERT_TRUE(QFile::link(root() + "M/a.mp3"_L1, root() + "M/sub/linked.mp3"_L1));
    ASSERT_TRUE(QFile::link(root() + "M/gone"_L1, root() + "M/sub/dangling.mp3"_L1));
    makeFifo("M/sub/pipe.mp3");
    SongIndex index;
    index.build(root() + "M"_L1, false);
    // A link to a song file is a song; a link back to a walked folder is not walked again;
    // a dangling link and a pipe are no songs (measuring a pipe would wait for ever).
    EXPECT_EQ(relative(index.entries()), "M/a.mp3|M/sub/b.mp3|M/sub/linked.mp3"_L1);
    index.build(root() + "M/sub"_L1, false);
    EXPECT_EQ(relative(index.entries()), "M/sub/b.mp3|M/sub/linked.mp3|M/sub/loop/a.mp3"_L1);
    index.build(QString(), false);
    EXPECT_TRUE(index.isEmpty());
}

TEST_F(SongIndexTest, LookupBesideTheLyricsFileAndInTheIndex) {
    touch("L/both.mp3|L/both.rmp|L/a.b.mp3|L/Upper.MP3|L/twice.mp3|L/Twice.mp3|L/TWICE.MP3|"
          "L/order.Mp3|L/Order.mP3|L/.hidden.mp3|L/dir.mp3/x|L/indexed.mp3|M/indexed.mp3|"
          "M/sub/dir.mp3|M/sub/onlyindexed.rmp|M/a.rmp|M/sub/a.mp3|M/x/Song.MP3|M/x/y/song.mp3");
    makeFifo("L/pipe.mp3");
    const struct {
        const char* lyrics;
        bool sameFolderFirst;
        bool preferRmp;
        const char* found;
    } cases[] = {
        {"L/both.txt", true, false, "L/both.mp3"},
        {"L/both.txt", true, true, "L/both.rmp"},
        {"L/a.b.txt", true, false, "L/a.b.mp3"},
        {"L/upper.txt", true, false, "L/Upper.MP3"}, // the name on disk is returned
        {"L/Twice.txt", true, false, "L/Twice.mp3"}, // exact spelling wins
        {"L/twice.TXT", true, false, "L/twice.mp3"},
        {"L/oRDER.txt", true, false, "L/Order.mP3"}, // else the first in sorted order
        {"L/.hidden.txt", true, false, ""},          // hidden files are not songs
        {"L/dir.txt", true, false, "M/sub/dir.mp3"}, // a folder is no song
        {"L/indexed.txt", true, false, "L/indexed.mp3"},
        {"L/indexed.txt", false, false, "M/indexed.mp3"},
        {"L/onlyindexed.txt", true, false, "M/sub/onlyindexed.rmp"},
        {"L/nothing.txt", false, false, ""},
        {"L/pipe.txt", true, false, ""},
        // In the index the first entry of the same base name wins, ignoring case and extension.
        {"/elsewhere/a.txt", false, false, "M/a.rmp"},
        {"/elsewhere/SONG.lrc", false, true, "M/x/Song.MP3"},
        {"/elsewhere/so.txt", false, false, ""},
        {"/elsewhere/a.b.txt", false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lyrics) + (c.sameFolderFirst ? " same folder first" : "") +
                     (c.preferRmp ? " rmp" : ""));
        SongIndex index;
        index.build(root() + "M/"_L1, c.preferRmp);
        SongLookup lookup(index, c.sameFolderFirst, c.preferRmp);
        EXPECT_EQ(relative({lookup.find(root() + QString::fromUtf8(c.lyrics))}),
                  QString::fromUtf8(c.found));
    }
    SongIndex empty;
    empty.build(root() + "L/dir.mp3"_L1, false);
    EXPECT_EQ(relative({SongLookup(empty, false, false).find(root() + "L/indexed.txt"_L1)}),
              "L/indexed.mp3"_L1);
}

} // namespace
} // namespace tavorin
