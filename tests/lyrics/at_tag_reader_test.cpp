#include "lyrics/at_tag_reader.h"

#include "song/time_base.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace tavorin {
namespace {

QString q(const char16_t* text) {
    return QString::fromUtf16(text);
}

struct IntegerCase {
    const char16_t* text;
    std::int32_t expected;
};

TEST(IntegerValue, RoundsHalvesToEvenAndGivesZeroForAnythingElse) {
    const IntegerCase cases[] = {
        {u"12.5", 12},
        {u"13.5", 14},
        {u"-12.5", -12},
        {u"-13.5", -14},
        {u"0.5", 0},
        {u"1.5", 2},
        {u"12.51", 13},
        {u"-0.4", 0},
        {u"+7", 7},
        {u"1000", 1000},
        {u"2147483647", 2147483647},
        {u"2147483647.4", 2147483647},
        {u"2147483647.5", 0}, // the even neighbour 2147483648 is out of range
        {u"2147483648", 0},
        {u"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {u"-2147483648.5", std::numeric_limits<std::int32_t>::min()},
        {u"-2147483649", 0},
        {u"99999999999999999999", 0},
        {u"1e3", 1000},
        {u"1e300", 0},
        {u"abc", 0},
        {u"", 0},
        {u"NaN", 0},
        {u"inf", 0},
        {u"-inf", 0},
        {u"0x10", 0},
        {u"1,000", 0},
        {u"12abc", 0},
        {u"１２", 0}, // full-width digits
    };
    for (const IntegerCase& c : cases) {
        SCOPED_TRACE(q(c.text).toStdString());
        EXPECT_EQ(integerValue(q(c.text)), c.expected);
    }
}

struct RealCase {
    const char16_t* text;
    double expected;
};

TEST(RealValue, RoundsToFifteenDigitsAndGivesZeroForAnythingElse) {
    const RealCase cases[] = {
        {u"0.9953125", 0.9953125},
        {u"0.99531249999999989", 0.9953125}, // the raw Winamp quotient, 17 digits
        {u"1", 1.0},
        {u"-2.5", -2.5},
        {u"0.12345678901234567", 0.123456789012346},
        {u"1e300", 1e300},
        {u"1e400", 0.0},
        {u"-1e400", 0.0},
        {u"1.7976931348623157e308", 0.0}, // fifteen digits of it lie beyond a double
        {u"", 0.0},
        {u"abc", 0.0},
        {u"NaN", 0.0},
        {u"inf", 0.0},
        {u"0,5", 0.0},
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(q(c.text).toStdString());
        EXPECT_EQ(realValue(q(c.text)), c.expected);
    }
}

// The fields a reading may set, with the values of the reset record.
struct ExpectedRecord {
    QString text;
    double timeRatio = 0.0;
    std::int32_t silencemSec = -1;
    std::int32_t offset = 0;
    QString artist;
    QString title;
    QString album;
    QString bgfile;
    QString bgfolder;
    QString taggingBy;
    QString editedBy;
    bool hasTiming = false;
};

void expectRecord(const LyricsRecord& actual, const ExpectedRecord& expected) {
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.timeRatio, expected.timeRatio);
    EXPECT_EQ(actual.silencemSec, expected.silencemSec);
    EXPECT_EQ(actual.offset, expected.offset);
    EXPECT_EQ(actual.artist, expected.artist);
    EXPECT_EQ(actual.title, expected.title);
    EXPECT_EQ(actual.album, expected.album);
    EXPECT_EQ(actual.bgfile, expected.bgfile);
    EXPECT_EQ(actual.bgfolder, expected.bgfolder);
    EXPECT_EQ(actual.taggingBy, expected.taggingBy);
    EXPECT_EQ(actual.editedBy, expected.editedBy);
    EXPECT_EQ(actual.hasTiming, expected.hasTiming);
    EXPECT_TRUE(actual.prefix.isEmpty()); // splitting is the modes' step
    EXPECT_TRUE(actual.tagEntries.empty());
}

// A record with no time base of its own, read with DefaultTime off.
ExpectedRecord standard(QString text = QString()) {
    ExpectedRecord r;
    r.text = std::move(text);
    r.timeRatio = 1.0;
    return r;
}

ExpectedRecord with(ExpectedRecord r, auto change) {
    change(r);
    return r;
}

struct ReaderCase {
    const char* name;
    QStringList lines;
    bool defaultTime;
    ExpectedRecord expected;
};

TEST(ReadAtTags, FillsTheRecordFromKnownKeysAndKeepsEveryOtherLine) {
    const std::vector<ReaderCase> cases = {
        {"spaces around key and value",
         {q(u"@Title = Foo ")},
         false,
         with(standard(), [](auto& r) { r.title = q(u"Foo"); })},
        {"key in capitals",
         {q(u"@TITLE=Foo")},
         false,
         with(standard(), [](auto& r) { r.title = q(u"Foo"); })},
        {"space before the at sign", {q(u" @Title=Foo")}, false, standard(q(u" @Title=Foo\r\n"))},
        {"no equals sign", {q(u"@Title")}, false, standard(q(u"@Title\r\n"))},
        {"full-width at sign", {q(u"＠Title=Foo")}, false, standard(q(u"＠Title=Foo\r\n"))},
        {"full-width equals sign", {q(u"@Title＝Foo")}, false, standard(q(u"@Title＝Foo\r\n"))},
        {"dotted capital I is no i", {q(u"@TİTLE=Foo")}, false, standard(q(u"@TİTLE=Foo\r\n"))},
        {"later equals signs are value",
         {q(u"@Title=a=b")},
         false,
         with(standard(), [](auto& r) { r.title = q(u"a=b"); })},
        {"last occurrence wins, even empty",
         {q(u"@Title=First"), q(u"@Title=")},
         false,
         standard()},
        {"value keeps its case and inner spaces",
         {q(u"@Artist=  Ab  Cd\t")},
         false,
         with(standard(), [](auto& r) { r.artist = q(u"Ab  Cd"); })},
        {"ideographic space trimmed from the key only",
         {q(u"@Album\u3000=\u3000Foo")},
         false,
         with(standard(), [](auto& r) { r.album = q(u"\u3000Foo"); })},
        {"unknown key stays in place",
         {q(u"a"), q(u"@Comment=x"), q(u"b")},
         false,
         standard(q(u"a\r\n@Comment=x\r\nb\r\n"))},
        {"bare at sign is no key", {q(u"@=x")}, false, standard(q(u"@=x\r\n"))},
        {"tag between lyrics",
         {q(u"a"), q(u"@Artist=X"), q(u"b")},
         false,
         with(standard(q(u"a\r\nb\r\n")), [](auto& r) { r.artist = q(u"X"); })},
        {"empty lines stay",
         {q(u"a"), QString(), q(u"b"), QString()},
         false,
         standard(q(u"a\r\n\r\nb\r\n\r\n"))},
        {"every text key",
         {q(u"@Artist=Ar"), q(u"@Title=Ti"), q(u"@Album=Al"), q(u"@Bgfile=bg.jpg"),
          q(u"@Bgfolder=C:\\bg"), q(u"@TaggingBy=たろう"), q(u"@EditedBy=はなこ"),
          q(u"@Offset=-300"), q(u"@Silence=100"), q(u"@TotalSec=1"), q(u"@Flames=2")},
         false,
         with(standard(),
              [](auto& r) {
                  r.artist = q(u"Ar");
                  r.title = q(u"Ti");
                  r.album = q(u"Al");
                  r.bgfile = q(u"bg.jpg");
                  r.bgfolder = q(u"C:\\bg");
                  r.taggingBy = q(u"たろう");
                  r.editedBy = q(u"はなこ");
                  r.offset = -300;
              })},
        {"no leading silence line", {q(u"la")}, false, standard(q(u"la\r\n"))},
        {"empty silence value",
         {q(u"@SilencemSec=")},
         false,
         with(standard(), [](auto& r) { r.silencemSec = 0; })},
        {"silence 12.5",
         {q(u"@SilencemSec=12.5")},
         false,
         with(standard(), [](auto& r) { r.silencemSec = 12; })},
        {"silence 13.5",
         {q(u"@silencemsec=13.5")},
         false,
         with(standard(), [](auto& r) { r.silencemSec = 14; })},
        {"silence out of range",
         {q(u"@SilencemSec=2147483648")},
         false,
         with(standard(), [](auto& r) { r.silencemSec = 0; })},

        // Settling the time base.
        {"no At-Tags, DefaultTime off", {q(u"la")}, false, standard(q(u"la\r\n"))},
        {"no At-Tags, DefaultTime on",
         {q(u"la")},
         true,
         with(standard(q(u"la\r\n")), [](auto& r) { r.timeRatio = defaultWinampRatio; })},
        {"ratio 0 counts as none",
         {q(u"@TimeRatio=0")},
         true,
         with(standard(), [](auto& r) { r.timeRatio = defaultWinampRatio; })},
        {"empty ratio counts as none", {q(u"@TimeRatio=")}, false, standard()},
        {"non-numeric ratio counts as none",
         {q(u"@TimeRatio=abc")},
         true,
         with(standard(), [](auto& r) { r.timeRatio = defaultWinampRatio; })},
        {"stated ratio wins over the time type",
         {q(u"@TimeRatio=0.9953125"), q(u"@TimeType=normal")},
         false,
         with(standard(),
              [](auto& r) {
                  r.timeRatio = 0.9953125;
                  r.hasTiming = true;
              })},
        {"stated ratio rounded to 15 digits",
         {q(u"@TimeRatio=0.99531249999999989")},
         false,
         with(standard(),
              [](auto& r) {
                  r.timeRatio = defaultWinampRatio;
                  r.hasTiming = true;
              })},
        {"time type normal beats DefaultTime",
         {q(u"@TimeType=Normal")},
         true,
         with(standard(), [](auto& r) { r.hasTiming = true; })},
        {"winamp at 44100 Hz",
         {q(u"@TimeType=WINAMP"), q(u"@Flames=10000"), q(u"@TotalSec=261")},
         false,
         with(standard(),
              [](auto& r) {
                  r.timeRatio = defaultWinampRatio;
                  r.hasTiming = true;
              })},
        {"winamp at 48000 Hz",
         {q(u"@TotalSec=240"), q(u"@TimeType=winamp"), q(u"@Flames=10000")},
         false,
         with(standard(), [](auto& r) { r.hasTiming = true; })},
        {"winamp without frames or length",
         {q(u"@TimeType=winamp")},
         false,
         with(standard(),
              [](auto& r) {
                  r.timeRatio = defaultWinampRatio;
                  r.hasTiming = true;
              })},
        {"unknown time type",
         {q(u"@TimeType=other")},
         true,
         with(standard(), [](auto& r) { r.timeRatio = defaultWinampRatio; })},
        {"later time type wins", {q(u"@TimeType=normal"), q(u"@TimeType=")}, false, standard()},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        expectRecord(readAtTags(c.lines, c.defaultTime), c.expected);
    }
}

TEST(ReadAtTags, LeavesTheTimeBaseUnsettledWithoutLines) {
    expectRecord(readAtTags({}, true), ExpectedRecord{});
    expectRecord(readAtTags({}, false), ExpectedRecord{});
}

TEST(ReadAtTags, ReadsFarBeyondSixteenBitPositionsAndLineCounts) {
    // An "=" after character 32767 and more than 32767 lines read like any other.
    QStringList lines;
    const QString farKey = QStringLiteral("@Title") + QString(40000, u' ') + QStringLiteral("=Far");
    const QString farUnknown = QStringLiteral("@Comment") + QString(40000, u'x') + u'=';
    lines << farKey << farUnknown;
    QString expectedText = farUnknown + QStringLiteral("\r\n");
    for (int i = 0; i < 40000; ++i) {
        lines << QString::number(i);
        expectedText += QString::number(i) + QStringLiteral("\r\n");
    }
    lines << QStringLiteral("@SilencemSec=1500") << QStringLiteral("@TimeType=normal");

    ExpectedRecord expected = standard(expectedText);
    expected.title = QStringLiteral("Far");
    expected.silencemSec = 1500;
    expected.hasTiming = true;
    expectRecord(readAtTags(lines, true), expected);
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

TEST_F(ReadLyricsRecordTest, ReadsAFileIntoTheRecord) {
    ASSERT_TRUE(dir.isValid());
    const QString path = write("song.txt", QByteArray("\xEF\xBB\xBF[00:01:00]\xE6\xAD\x8C\r\n"
                                                      "@Title=\xE6\xAD\x8C\r\n"
                                                      "@TimeRatio=1\r\n"));
    const LyricsReading reading = readLyricsRecord(path, true);
    EXPECT_EQ(reading.failure, LyricsReadFailure::None);
    EXPECT_EQ(reading.encoding, TextEncoding::Utf8Bom);
    ExpectedRecord expected = standard(q(u"[00:01:00]歌\r\n"));
    expected.title = q(u"歌");
    expected.hasTiming = true;
    expectRecord(reading.record, expected);
}

TEST_F(ReadLyricsRecordTest, AnEmptyFileIsNoFailureButSettlesNothing) {
    ASSERT_TRUE(dir.isValid());
    const LyricsReading reading = readLyricsRecord(write("empty.txt", QByteArray()), true);
    EXPECT_EQ(reading.failure, LyricsReadFailure::None);
    expectRecord(reading.record, ExpectedRecord{});
}

TEST_F(ReadLyricsRecordTest, AFileThatCannotBeReadLeavesTheResetRecord) {
    ASSERT_TRUE(dir.isValid());
    struct FailureCase {
        const char* name;
        QString path;
        LyricsReadFailure failure;
    };
    const FailureCase cases[] = {
        {"missing", dir.filePath(QStringLiteral("missing.txt")), LyricsReadFailure::Missing},
        // A lead byte followed by a byte no code page 932 character has.
        {"not decodable", write("broken.txt", QByteArray("@TimeRatio=1\r\n\x81\x20la\r\n")),
         LyricsReadFailure::NotDecodable},
        {"a folder", dir.path(), LyricsReadFailure::Unreadable},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LyricsReading reading = readLyricsRecord(c.path, true);
        EXPECT_EQ(reading.failure, c.failure);
        expectRecord(reading.record, ExpectedRecord{});
    }
}

} // namespace
} // namespace tavorin
