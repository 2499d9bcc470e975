#include "lyrics/at_tag_reader.h"
#include "run/run_test_support.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// The record in one line: the body, the ratio (shortest exact form, so a near miss shows) and
// every field that differs from the reset record.
QString summary(const LyricsRecord& r) {
    const QString text = QString(r.text).replace("\r\n"_L1, u"¶"_s);
    const QString ratio = QString::number(r.timeRatio, 'g', QLocale::FloatingPointShortest);
    const QString silence = r.silencemSec != -1 ? QString::number(r.silencemSec) : QString();
    const QString start = r.audioStartmSec != -1 ? QString::number(r.audioStartmSec) : QString();
    const QString offset = r.offset != 0 ? QString::number(r.offset) : QString();
    const QString values[] = {text,    ratio,    silence,    offset,      r.artist,   r.title,
                              r.album, r.bgfile, r.bgfolder, r.taggingBy, r.editedBy, start};
    const QStringList names = texts(
        "text|ratio|silence|offset|artist|title|album|bgfile|bgfolder|taggingBy|editedBy|start");
    QStringList parts;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!values[i].isEmpty()) {
            parts << names[i] + u'=' + values[i];
        }
    }
    return parts.join(u';') + (r.hasTiming ? ";timing"_L1 : ""_L1);
}

TEST(ReadAtTags, FillsTheRecordFromKnownKeysAndKeepsEveryOtherLineAtAnyLength) {
    const QString table =
        QString::fromUtf8(readBytes(TAVORIN_TEST_DATA_DIR "/lyrics/at_tag_reader_cases.txt"_L1));
    int count = 0;
    for (const QString& row : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields =
            QString(row).replace("\\t"_L1, "\t"_L1).replace("\\r"_L1, "\r"_L1).split(" | "_L1);
        if (row.startsWith(u'#') || fields.size() != 4) {
            continue;
        }
        ++count;
        const QString text =
            fields[2] == "-"_L1 ? QString() : fields[2].split(u'¶').join(u'\n') + u'\n';
        EXPECT_EQ(summary(readAtTags(text, fields[1] == "on"_L1)), fields[3])
            << fields[0].toStdString();
    }
    EXPECT_EQ(count, 65);

    // An "=" after character 32767, CRs far beyond it and more than 32767 lines.
    QString text = "@Title"_L1 + QString(40000, u' ') + "=Far\r\n"_L1;
    QString expected = "@Comment"_L1 + QString(40000, u'x') + "=\r\n"_L1;
    for (int i = 0; i < 40000; ++i) {
        expected += QString::number(i) + "\r\n"_L1;
    }
    text += expected + "@SilencemSec=1500\r\n@TimeType=normal"_L1;
    const LyricsRecord record = readAtTags(text, true);
    EXPECT_EQ(record.text, expected);
    EXPECT_TRUE(summary(record).endsWith(";ratio=1;silence=1500;title=Far;timing"_L1));
}

} // namespace
} // namespace tavorin
