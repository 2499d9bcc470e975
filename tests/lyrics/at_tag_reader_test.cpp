#include "lyrics/at_tag_reader.h"
#include "run/run_test_support.h"
#include "song/time_base.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// What an At-Tag value reads as, as a whole number (halves to even) and as a real number
// (fifteen digits); anything that is no plain decimal in range reads as zero.
TEST(AtTagValues, RoundAndGiveZeroForAnythingElse) {
    const struct {
        const char* text;
        std::int32_t integer;
        double real;
    } cases[] = {
        {"12.5", 12, 12.5},
        {"13.5", 14, 13.5},
        {"-12.5", -12, -12.5},
        {"0.5", 0, 0.5},
        {"12.51", 13, 12.51},
        {"-0.4", 0, -0.4},
        {"1e3", 1000, 1000.0},
        {"1e300", 0, 1e300},
        {"2147483647.4", 2147483647, 2147483647.4},
        {"2147483647.5", 0, 2147483647.5}, // its even neighbour is out of range
        {"2147483648", 0, 2147483648.0},
        {"-2147483649", 0, -2147483649.0},
        {"-2147483648.5", std::numeric_limits<std::int32_t>::min(), -2147483648.5},
        {"0.99531249999999989", 1, 0.9953125}, // the raw Winamp quotient, 17 digits
        {"0.12345678901234567", 0, 0.123456789012346},
        {"1.7976931348623157e308", 0, 0.0}, // fifteen digits of it lie beyond a double
        {"1e400", 0, 0.0},
        {"abc", 0, 0.0},
        {"", 0, 0.0},
        {"inf", 0, 0.0},
        {"1,000", 0, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(integerValue(QString::fromUtf8(c.text)), c.integer) << c.text;
        EXPECT_EQ(realValue(QString::fromUtf8(c.text)), c.real) << c.text;
    }
}

// The record in one line: the body, the ratio (shortest exact form, so a near miss shows) and
// every field that differs from the reset record.
QString summary(const LyricsRecord& r) {
    QStringList parts;
    if (!r.text.isEmpty()) {
        parts << "text="_L1 + QString(r.text).replace("\r\n"_L1, u"¶"_s);
    }
    parts << "ratio="_L1 + QString::number(r.timeRatio, 'g', QLocale::FloatingPointShortest);
    const std::pair<const char*, QString> fields[] = {
        {"silence", r.silencemSec != -1 ? QString::number(r.silencemSec) : QString()},
        {"offset", r.offset != 0 ? QString::number(r.offset) : QString()},
        {"artist", r.artist},
        {"title", r.title},
        {"album", r.album},
        {"bgfile", r.bgfile},
        {"bgfolder", r.bgfolder},
        {"taggingBy", r.taggingBy},
        {"editedBy", r.editedBy}};
    for (const auto& [name, value] : fields) {
        if (!value.isEmpty()) {
            parts << QLatin1StringView(name) + u'=' + value;
        }
    }
    if (r.hasTiming) {
        parts << "timing"_L1;
    }
    return parts.join(u';');
}

TEST(ReadAtTags, FillsTheRecordFromKnownKeysAndKeepsEveryOtherLine) {
    const QString table =
        QString::fromUtf8(readBytes(TAVORIN_TEST_DATA_DIR "/lyrics/at_tag_reader_cases.txt"_L1));
    int count = 0;
    for (const QString& row : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = QString(row).replace("\\t"_L1, "\t"_L1).split(" | "_L1);
        if (row.startsWith(u'#') || fields.size() != 4) {
            continue;
        }
        ++count;
        const bool defaultTime = fields[1] == "on"_L1;
        const QString text =
            fields[2] == "-"_L1 ? QString() : fields[2].split(u'¶').join(u'\n') + u'\n';
        const LyricsRecord record = readAtTags(text, defaultTime);
        EXPECT_EQ(summary(record), fields[3]) << fields[0].toStdString();
        // Both ratios of a file without a ratio of its own are the exact doubles.
        if (!record.hasTiming && !text.isEmpty()) {
            EXPECT_EQ(record.timeRatio, defaultTime ? defaultWinampRatio : 1.0);
        }
    }
    EXPECT_EQ(count, 30);
}

TEST(ReadAtTags, ReadsFarBeyondSixteenBitPositionsAndLineCounts) {
    // An "=" after character 32767, CRs far beyond it and more than 32767 lines read like any
    // other.
    const QString farUnknown = "@Comment"_L1 + QString(40000, u'x') + u'=';
    QStringList lines = {"@Title"_L1 + QString(40000, u' ') + "=Far"_L1, farUnknown};
    QString expectedText = farUnknown + "\r\n"_L1;
    for (int i = 0; i < 40000; ++i) {
        lines << QString::number(i);
        expectedText += QString::number(i) + "\r\n"_L1;
    }
    lines << "@SilencemSec=1500"_L1
          << "@TimeType=normal"_L1;
    const LyricsRecord record = readAtTags(lines.join("\r\n"_L1), true);
    EXPECT_EQ(record.text, expectedText);
    EXPECT_TRUE(summary(record).endsWith(";ratio=1;silence=1500;title=Far;timing"_L1));
}

} // namespace
} // namespace tavorin
