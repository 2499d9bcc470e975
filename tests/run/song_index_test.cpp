#include "run/run_test_support.h"
#include "run/song_index.h"
#include "run/song_lookup.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

TEST(SongIndex, IndexesTheSongFolderAndFindsTheSongOfEachLyricsFile) {
    QTemporaryDir temp;
    const QString root = temp.path() + u'/';
    const QString table =
        QString::fromUtf8(readBytes(TAVORIN_TEST_DATA_DIR "/run/song_lookup_cases.txt"_L1));
    SongIndex index;
    int count = 0;
    for (const QString& row : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = (row + u' ').split(" | "_L1);
        if (row.startsWith("files: "_L1)) {
            for (const QString& file : row.mid(7).split(u' ')) {
                const QString path = root + file.section(u'|', 0, 0);
                const QString kind = file.section(u'|', 1);
                ASSERT_TRUE(kind == "fifo"_L1     ? ::mkfifo(QFile::encodeName(path), 0600) == 0
                            : !kind.isEmpty()     ? QFile::link(root + kind, path)
                            : file.endsWith(u'/') ? QDir().mkpath(path)
                                                  : writeBytes(path, "song"))
                    << file.toStdString();
            }
        }
        if (row.startsWith(u'#') || fields.size() != 4) {
            continue;
        }
        ++count;
        const bool preferRmp = fields[2] == "rmp"_L1;
        const bool indexOnly = fields[1] == "index"_L1;
        index.build(fields[0] == "-"_L1 ? QString() : root + (indexOnly ? fields[0] : "M/"_L1),
                    preferRmp);
        const QStringList found =
            indexOnly
                ? index.entries()
                : QStringList{SongLookup(index, fields[1] == "same folder first"_L1, preferRmp)
                                  .find(root + fields[0])};
        EXPECT_EQ(QStringList(found).replaceInStrings(root, QString()).join(u' '),
                  fields[3].trimmed())
            << row.toStdString();
    }
    EXPECT_EQ(count, 23);
}

} // namespace
} // namespace tavorin
