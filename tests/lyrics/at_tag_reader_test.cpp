#include "lyrics/at_tag_reader.h"
#include "lyrics/lyrics_reading.h"

#include "song/time_base.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include <ostream>

// Failures show texts as text, not as lists of UTF-16 units.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace tavorin {
namespace {

QString q(const char16_t* text) {
    return QString::fromUtf16(text);
}

// What an At-Tag value reads as, as a whole number (halves to even) and as a real number
// (fifteen digits); anything that is no plain decimal in range reads as zero.
TEST(AtTagValues, RoundAndGiveZeroForAnythingElse) {
    const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    const struct {
        const char16_t* text;
        std::int32_t integer;
        double real;
    } cases[] = {
        {u"12.5", 12, 12.5},
        {u"13.5", 14, 13.5},
        {u"-12.5", -12, -12.5},
        {u"0.5", 0, 0.5},
        {u"12.51", 13, 12.51},
        {u"-0.4", 0, -0.4},
        {u"2147483647.4", 2147483647, 2147483647.4},
        {u"2147483647.5", 0, 2147483647.5}, // its even neighbour is out of range
        {u"2147483648", 0, 2147483648.0},
        {u"-2147483648.5", lowest, -2147483648.5},
        {u"-2147483649", 0, -2147483649.0},
        {u"1e3", 1000, 1000.0},
        {u"1e300", 0, 1e300},
        {u"0.99531249999999989", 1, 0.9953125}, // the raw Winamp quotient, 17 digits
        {u"0.12345678901234567", 0, 0.123456789012346},
        {u"1e400", 0, 0.0},
        {u"1.7976931348623157e308", 0, 0.0}, // fifteen digits of it lie beyond a double
        {u"abc", 0, 0.0},
        {u"", 0, 0.0},
        {u"inf", 0, 0.0},
        {u"1,000", 0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(q(c.text).toStdString());
        EXPECT_EQ(integerValue(q(c.text)), c.integer);
        EXPECT_EQ(realValue(q(c.text)), c.real);
    }
}

// The record in one line: the ratio (shortest exact form, so a near miss shows) and every field
// that differs from the reset record; CR LF in the text is shown as "¶".
QString summary(const LyricsRecord& r) {
    QStringList parts;
    if (!r.text.isEmpty()) {
        parts << QStringLiteral("text=") +
                     QString(r.text).replace(QStringLiteral("\r\n"), QStringLiteral("¶"));
    }
    parts << QStringLiteral("ratio=") +
                 QString::number(r.timeRatio, 'g', QLocale::FloatingPointShortest);
    if (r.silencemSec != -1) {
        parts << QStringLiteral("silence=") + QString::number(r.silencemSec);
    }
    if (r.offset != 0) {
        parts << QStringLiteral("offset=") + QString::number(r.offset);
    }
    const std::pair<const char16_t*, const QString*> texts[] = {
        {u"artist", &r.artist},     {u"title", &r.title},       {u"album", &r.album},
        {u"bgfile", &r.bgfile},     {u"bgfolder", &r.bgfolder}, {u"taggingBy", &r.taggingBy},
        {u"editedBy", &r.editedBy},
    };
    for (const auto& [name, value] : texts) {
        if (!value->isEmpty()) {
            parts << q(name) + u'=' + *value;
        }
    }
    if (r.hasTiming) {
        parts << QStringLiteral("timing");
    }
    return parts.join(u';');
}

struct ReaderCase {
    const char* name;
    std::vector<const char16_t*> lines;
    bool defaultTime;
    const char16_t* expected;
};

TEST(ReadAtTags, FillsTheRecordFromKnownKeysAndKeepsEveryOtherLine) {
    const ReaderCase cases[] = {
        {"spaces around key and value", {u"@Title = Foo "}, false, u"ratio=1;title=Foo"},
        {"space before the at sign", {u" @Title=Foo"}, false, u"text= @Title=Foo¶;ratio=1"},
        {"no equals sign", {u"@Title"}, false, u"text=@Title¶;ratio=1"},
        {"full-width at sign", {u"＠Title=Foo"}, false, u"text=＠Title=Foo¶;ratio=1"},
        {"full-width equals sign", {u"@Title＝Foo"}, false, u"text=@Title＝Foo¶;ratio=1"},
        {"dotted capital I is no i", {u"@TİTLE=Foo"}, false, u"text=@TİTLE=Foo¶;ratio=1"},
        {"later equals signs are value", {u"@Title=a=b"}, false, u"ratio=1;title=a=b"},
        {"last occurrence wins, even empty", {u"@Title=First", u"@Title="}, false, u"ratio=1"},
        {"value keeps case and inner spaces",
         {u"@Artist=  Ab  Cd\t"},
         false,
         u"ratio=1;artist=Ab  Cd"},
        {"ideographic space trimmed from the key only",
         {u"@Album\u3000=\u3000Foo"},
         false,
         u"ratio=1;album=\u3000Foo"},
        {"unknown key stays in place",
         {u"a", u"@Comment=x", u"b"},
         false,
         u"text=a¶@Comment=x¶b¶;ratio=1"},
        {"bare at sign is no key", {u"@=x"}, false, u"text=@=x¶;ratio=1"},
        {"tag between lyrics", {u"a", u"@Artist=X", u"b"}, false, u"text=a¶b¶;ratio=1;artist=X"},
        {"empty lines stay", {u"a", u"", u"b", u""}, false, u"text=a¶¶b¶¶;ratio=1"},
        {"every other key",
         {u"@artist=Ar", u"@Title=Ti", u"@ALBUM=Al", u"@Bgfile=bg.jpg", u"@Bgfolder=C:\\bg",
          u"@TaggingBy=たろう", u"@EditedBy=はなこ", u"@Offset=-300", u"@Silence=100",
          u"@TotalSec=1", u"@Flames=2"},
         false,
         u"ratio=1;offset=-300;artist=Ar;title=Ti;album=Al;bgfile=bg.jpg;bgfolder=C:\\bg;"
         u"taggingBy=たろう;editedBy=はなこ"},
        {"empty silence value", {u"@SilencemSec="}, false, u"ratio=1;silence=0"},
        {"silence 13.5", {u"@silencemsec=13.5"}, false, u"ratio=1;silence=14"},

        // Settling the time base: without any line it stays unsettled.
        {"no lines, DefaultTime on", {}, true, u"ratio=0"},
        {"no lines, DefaultTime off", {}, false, u"ratio=0"},
        {"no At-Tags, DefaultTime off", {u"la"}, false, u"text=la¶;ratio=1"},
        {"no At-Tags, DefaultTime on", {u"la"}, true, u"text=la¶;ratio=0.9953125"},
        {"ratio 0 counts as none", {u"@TimeRatio=0"}, true, u"ratio=0.9953125"},
        {"empty ratio counts as none", {u"@TimeRatio="}, false, u"ratio=1"},
        {"stated ratio wins over the time type",
         {u"@TimeRatio=0.9953125", u"@TimeType=normal"},
         false,
         u"ratio=0.9953125;timing"},
        {"time type normal beats DefaultTime", {u"@TimeType=Normal"}, true, u"ratio=1;timing"},
        {"winamp at 44100 Hz",
         {u"@TimeType=WINAMP", u"@Flames=10000", u"@TotalSec=261"},
         false,
         u"ratio=0.9953125;timing"},
        {"winamp at 48000 Hz",
         {u"@TotalSec=240", u"@TimeType=winamp", u"@Flames=10000"},
         false,
         u"ratio=1;timing"},
        {"winamp without frames or length",
         {u"@TimeType=winamp"},
         false,
         u"ratio=0.9953125;timing"},
        {"unknown time type", {u"@TimeType=other"}, true, u"ratio=0.9953125"},
        {"later time type wins", {u"@TimeType=normal", u"@TimeType="}, false, u"ratio=1"},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString text;
        for (const char16_t* line : c.lines) {
            text += q(line) + u'\n';
        }
        const LyricsRecord record = readAtTags(text, c.defaultTime);
        EXPECT_EQ(summary(record), q(c.expected));
        // Both ratios of a file without a ratio of its own are the exact doubles.
        if (!record.hasTiming && !c.lines.empty()) {
            EXPECT_EQ(record.timeRatio, c.defaultTime ? defaultWinampRatio : 1.0);
        }
    }
}

TEST(ReadAtTags, ReadsFarBeyondSixteenBitPositionsAndLineCounts) {
    // An "=" after character 32767 and more than 32767 lines read like any other.
    QStringList lines;
    const QString farUnknown = QStringLiteral("@Comment") + QString(40000, u'x') + u'=';
    lines << QStringLiteral("@Title") + QString(40000, u' ') + QStringLiteral("=Far") << farUnknown;
    QString expectedText = farUnknown + QStringLiteral("\r\n");
    for (int i = 0; i < 40000; ++i) {
        lines << QString::number(i);
        expectedText += QString::number(i) + QStringLiteral("\r\n");
    }
    lines << QStringLiteral("@SilencemSec=1500") << QStringLiteral("@TimeType=normal");

    const LyricsRecord record = readAtTags(lines.join(u'\n'), true);
    EXPECT_EQ(record.text, expectedText);
    EXPECT_EQ(record.title, QStringLiteral("Far"));
    EXPECT_EQ(record.silencemSec, 1500);
    EXPECT_EQ(record.timeRatio, 1.0);
    EXPECT_TRUE(record.hasTiming);
}

class ReadLyricsRecordTest : public testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(ReadLyricsRecordTest, ReadsAFileOrLeavesTheResetRecord) {
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* name;
        QString path;
        LyricsReadFailure failure;
        const char16_t* summary;
    };
    const Case cases[] = {
        {"utf-8 with mark",
         write("song.txt", QByteArray("\xEF\xBB\xBF[00:01:00]\xE6\xAD\x8C\r\n"
                                      "@Title=\xE6\xAD\x8C\r\n"
                                      "@TimeRatio=1\r\n")),
         LyricsReadFailure::None, u"text=[00:01:00]歌¶;ratio=1;title=歌;timing"},
        // An empty file is no failure, but settles nothing.
        {"empty", write("empty.txt", QByteArray()), LyricsReadFailure::None, u"ratio=0"},
        {"missing", dir.filePath(QStringLiteral("missing.txt")), LyricsReadFailure::Missing,
         u"ratio=0"},
        // A lead byte followed by a byte no code page 932 character has.
        {"not decodable", write("broken.txt", QByteArray("@TimeRatio=1\r\n\x81\x20la\r\n")),
         LyricsReadFailure::NotDecodable, u"ratio=0"},
        {"a folder", dir.path(), LyricsReadFailure::Unreadable, u"ratio=0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LyricsReading reading = readLyricsRecord(c.path, true);
        EXPECT_EQ(reading.failure, c.failure);
        EXPECT_EQ(summary(reading.record), q(c.summary));
    }
    EXPECT_EQ(readLyricsRecord(cases[0].path, true).encoding, TextEncoding::Utf8Bom);
}

} // namespace
} // namespace tavorin
