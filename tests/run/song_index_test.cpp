#include "run/song_index.h"
#include "run/song_lookup.h"

#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

#include <sys/stat.h>

namespace tavorin {
namespace {

using testing::writeBytes;

class SongIndexTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }
    QString root() const { return temp.path() + u'/'; }
    void touch(std::initializer_list<const char*> relatives) {
        for (const char* relative : relatives) {
            ASSERT_TRUE(writeBytes(root() + QString::fromUtf8(relative), "song"));
        }
    }
    void mkdir(const char* relative) {
        ASSERT_TRUE(QDir().mkpath(root() + QString::fromUtf8(relative)));
    }
    QStringList relative(const QStringList& paths) const {
        QStringList list;
        for (const QString& path : paths) {
            list.append(path.startsWith(root()) ? path.mid(root().size()) : path);
        }
        return list;
    }
    QStringList list(const std::vector<const char*>& names) const {
        QStringList result;
        for (const char* name : names) {
            result.append(QString::fromUtf8(name));
        }
        return result;
    }

    QTemporaryDir temp;
};

TEST_F(SongIndexTest, IndexOrderIsDepthFirstOwnSongsFirstPreferredExtensionFirst) {
    touch({"M/b.mp3", "M/A.RMP", "M/a.mp3", "M/c.MP3", "M/notes.txt", "M/sub/a.mp3",
           "M/Sub2/deep/z.rmp", "M/Sub2/y.mp3", "M/.cache/hidden.mp3"});
    mkdir("M/folder.mp3");
    touch({"M/folder.mp3/inner.mp3"});

    const struct {
        bool preferRmp;
        std::vector<const char*> expected;
    } cases[] = {
        {false,
         {"M/a.mp3", "M/b.mp3", "M/c.MP3", "M/A.RMP", "M/folder.mp3/inner.mp3", "M/sub/a.mp3",
          "M/Sub2/y.mp3", "M/Sub2/deep/z.rmp"}},
        {true,
         {"M/A.RMP", "M/a.mp3", "M/b.mp3", "M/c.MP3", "M/folder.mp3/inner.mp3", "M/sub/a.mp3",
          "M/Sub2/y.mp3", "M/Sub2/deep/z.rmp"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preferRmp ? "RMP first" : "MP3 first");
        SongIndex index;
        int events = 0;
        index.build(root() + QStringLiteral("M"), c.preferRmp, [&] { ++events; });
        EXPECT_EQ(relative(index.entries()), list(c.expected));
        // Once per song found and once per subfolder walked.
        EXPECT_EQ(events, 8 + 4);
    }
}

TEST_F(SongIndexTest, FindTakesTheFirstEntryWhoseBaseNameMatchesIgnoringCase) {
    touch({"M/a.rmp", "M/sub/a.mp3", "M/x/Song.MP3", "M/x/y/song.mp3"});
    SongIndex index;
    index.build(root() + QStringLiteral("M/"), false);
    const struct {
        const char* lyrics;
        const char* found;
    } cases[] = {
        {"/elsewhere/a.txt", "M/a.rmp"},
        {"/elsewhere/SONG.lrc", "M/x/Song.MP3"},
        {"/elsewhere/song.kra", "M/x/Song.MP3"},
        {"/elsewhere/so.txt", ""},
        {"/elsewhere/a.b.txt", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lyrics);
        EXPECT_EQ(relative({index.find(QString::fromUtf8(c.lyrics))}).constFirst(),
                  QString::fromUtf8(c.found));
    }
}

TEST_F(SongIndexTest, LinkCyclesAreWalkedOnceAndBuildingAgainStartsEmpty) {
    touch({"M/a.mp3", "M/sub/b.mp3"});
    ASSERT_TRUE(QFile::link(root() + QStringLiteral("M"), root() + QStringLiteral("M/sub/loop")));
    ASSERT_TRUE(QFile::link(root() + QStringLiteral("M/a.mp3"),
                            root() + QStringLiteral("M/sub/linked.mp3")));
    ASSERT_TRUE(QFile::link(root() + QStringLiteral("M/gone"),
                            root() + QStringLiteral("M/sub/dangling.mp3")));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(root() + QStringLiteral("M/sub/pipe.mp3")).constData(), 0600),
        0);
    SongIndex index;
    index.build(root() + QStringLiteral("M"), false);
    // A link to a song file is a song; a link back to a walked folder is not walked again;
    // a dangling link and a pipe are no songs (measuring a pipe would wait for ever).
    EXPECT_EQ(relative(index.entries()), list({"M/a.mp3", "M/sub/b.mp3", "M/sub/linked.mp3"}));
    index.build(root() + QStringLiteral("M/sub"), false);
    EXPECT_EQ(relative(index.entries()),
              list({"M/sub/b.mp3", "M/sub/linked.mp3", "M/sub/loop/a.mp3"}));
    index.build(QString(), false);
    EXPECT_TRUE(index.isEmpty());
}

TEST_F(SongIndexTest, LookupBesideTheLyricsFileAndInTheIndex) {
    touch({"L/both.mp3", "L/both.rmp", "L/a.b.mp3", "L/Upper.MP3", "L/twice.mp3", "L/Twice.mp3",
           "L/TWICE.MP3", "L/order.Mp3", "L/Order.mP3", "L/.hidden.mp3"});
    mkdir("L/dir.mp3");
    touch({"L/indexed.mp3", "M/indexed.mp3", "M/sub/dir.mp3", "M/sub/onlyindexed.rmp"});
    ASSERT_EQ(::mkfifo(QFile::encodeName(root() + QStringLiteral("L/pipe.mp3")).constData(), 0600),
              0);

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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lyrics) + (c.sameFolderFirst ? " same folder first" : "") +
                     (c.preferRmp ? " rmp" : ""));
        SongIndex index;
        index.build(root() + QStringLiteral("M/"), c.preferRmp);
        SongLookup lookup(index, c.sameFolderFirst, c.preferRmp);
        const QString found = lookup.find(root() + QString::fromUtf8(c.lyrics));
        EXPECT_EQ(relative({found}).constFirst(), QString::fromUtf8(c.found));
    }
}

TEST_F(SongIndexTest, AnEmptyIndexLeavesOnlyTheLyricsFolder) {
    touch({"L/a.mp3"});
    mkdir("M/empty");
    SongIndex index;
    index.build(root() + QStringLiteral("M/"), false);
    EXPECT_TRUE(index.isEmpty());
    SongLookup lookup(index, false, false);
    EXPECT_EQ(lookup.find(root() + QStringLiteral("L/a.txt")), root() + QStringLiteral("L/a.mp3"));
    EXPECT_EQ(lookup.find(root() + QStringLiteral("L/b.txt")), QString());
}

} // namespace
} // namespace tavorin
