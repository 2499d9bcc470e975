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
    const QString table =
        QString::fromUtf8(readBytes(TAVORIN_TEST_DATA_DIR "/run/song_lookup_cases.txt"_L1));
    int count = 0;
    for (const QString& row : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = (row + u' ').split(" | "_L1);
        if (row.startsWith("files: "_L1)) {
            for (const QString& file : row.mid(7).split(u' ')) {
                if (file.endsWith("|fifo"_L1)) {
                    makeFifo(file.chopped(5).toUtf8().constData());
                } else {
                    ASSERT_TRUE(file.endsWith(u'/') ? QDir().mkpath(root() + file)
                                                    : writeBytes(root() + file, "song"));
                }
            }
        }
        if (row.startsWith(u'#') || fields.size() != 4) {
            continue;
        }
        ++count;
        const bool preferRmp = fields[2] == "rmp"_L1;
        SongIndex index;
        index.build(root() + "M/"_L1, preferRmp);
        SongLookup lookup(index, fields[1] == "same folder first"_L1, preferRmp);
        EXPECT_EQ(relative({lookup.find(root() + fields[0])}), fields[3].trimmed())
            << row.toStdString();
    }
    EXPECT_EQ(count, 18);
    SongIndex empty;
    empty.build(root() + "L/dir.mp3"_L1, false);
    EXPECT_EQ(relative({SongLookup(empty, false, false).find(root() + "L/indexed.txt"_L1)}),
              "L/indexed.mp3"_L1);
}

} // namespace
} // namespace tavorin
