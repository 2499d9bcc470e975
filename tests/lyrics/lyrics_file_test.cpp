#include "lyrics/lyrics_file.h"

#include "shell/file_layer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace tavorin {
namespace {

QStringList listOf(std::initializer_list<const char*> lines) {
    QStringList list;
    for (const char* line : lines) {
        list.append(QString::fromUtf8(line));
    }
    return list;
}

QStringList linesOf(QStringView text) {
    QStringList lines;
    forEachLyricsLine(text, [&](QStringView line, QStringView) { lines.append(line.toString()); });
    return lines;
}

TEST(ForEachLyricsLine, RemovesCarriageReturnsAndCutsAtLineFeeds) {
    struct Case {
        const char* text;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\nc\r\n", listOf({"a", "b", "c"})},
        {"a\rb\rc\r", listOf({"abc"})},
        {"a\nb\nc", listOf({"a", "b", "c"})},
        {"", {}},
        {"\n", listOf({""})},
        {"\r\n", listOf({""})},
        {"\r", {}},
        {"\n\r", listOf({""})},
        {"a\n\nb", listOf({"a", "", "b"})},
        {"a\n\n", listOf({"a", ""})},
        {"a\r\r\nb", listOf({"a", "b"})},
        {"a\rb\r\nc\r\rd", listOf({"ab", "cd"})},
        {"\r\r\n\r", listOf({""})},
        {"[00:01:00]さくら\r\n@Title=春\r\n", listOf({"[00:01:00]さくら", "@Title=春"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf8(c.text).toHtmlEscaped().toStdString());
        EXPECT_EQ(linesOf(QString::fromUtf8(c.text)), c.lines);
    }
}

class LyricsFileTest : public ::testing::Test {
protected:
    QString makeFile(const QByteArray& bytes, const QString& name = QStringLiteral("a.lrc")) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    static QByteArray readBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
};

QByteArray utf16(QStringView text, bool bigEndian) {
    QByteArray bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar unit : text) {
        const char high = static_cast<char>(unit.unicode() >> 8);
        const char low = static_cast<char>(unit.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low);
        bytes.append(bigEndian ? low : high);
    }
    return bytes;
}

struct EncodedFile {
    const char* what;
    QByteArray bytes;
    TextEncoding encoding;
};

// The same two lines, "[00:01:00]さくら" and "[00:02:50]桜", in every encoding a file may have.
const EncodedFile encodedFiles[] = {
    {"shift-jis", QByteArray("[00:01:00]\x82\xB3\x82\xAD\x82\xE7\r\n[00:02:50]\x8D\xF7\r\n"),
     TextEncoding::Cp932},
    {"utf-8",
     QByteArray("[00:01:00]\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89\r\n[00:02:50]\xE6\xA1\x9C\r\n"),
     TextEncoding::Utf8},
    {"utf-8 with mark",
     QByteArray("\xEF\xBB\xBF[00:01:00]\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89\r\n[00:02:50]"
                "\xE6\xA1\x9C\r\n"),
     TextEncoding::Utf8Bom},
    {"utf-16 le", utf16(u"[00:01:00]さくら\r\n[00:02:50]桜\r\n", false), TextEncoding::Utf16LeBom},
    {"utf-16 be", utf16(u"[00:01:00]さくら\r\n[00:02:50]桜\r\n", true), TextEncoding::Utf16BeBom},
};

TEST_F(LyricsFileTest, ReadsEveryEncodingAndWritesTheSameBytesBack) {
    for (const EncodedFile& f : encodedFiles) {
        SCOPED_TRACE(f.what);
        const QString path = makeFile(f.bytes);
        const LyricsText read = readLyricsText(path);
        EXPECT_EQ(read.failure, LyricsReadFailure::None);
        EXPECT_EQ(read.encoding, f.encoding);
        EXPECT_EQ(linesOf(read.text), listOf({"[00:01:00]さくら", "[00:02:50]桜"}));
        EXPECT_EQ(writeLyricsFile(path, read.text, read.encoding).outcome, WriteOutcome::Written);
        EXPECT_EQ(readBytes(path), f.bytes);
    }
}

TEST_F(LyricsFileTest, ReadsFilesFarBeyondSixteenBitPositionsAndCounts) {
    // 40,000 characters in CR LF lines of 20, and 2 MiB of word-timed lines (over 32,767 lines).
    QByteArray small;
    for (int i = 0; i < 2000; ++i) {
        small += QByteArray::number(100000 + i) + QByteArray("abcdefghijkl\r\n");
    }
    ASSERT_EQ(small.size(), 40000);
    LyricsText read = readLyricsText(makeFile(small));
    ASSERT_EQ(read.failure, LyricsReadFailure::None);
    QStringList lines = linesOf(read.text);
    ASSERT_EQ(lines.size(), 2000);
    EXPECT_EQ(lines.first(), QStringLiteral("100000abcdefghijkl"));
    EXPECT_EQ(lines.last(), QStringLiteral("101999abcdefghijkl"));

    // "[00:00:00]さ[00:00:50]く[00:01:00]ら" per line, in code page 932.
    const QByteArray line("[00:00:00]\x82\xB3[00:00:50]\x82\xAD[00:01:00]\x82\xE7\r\n");
    QByteArray large;
    while (large.size() < 2 * 1024 * 1024) {
        large += line;
    }
    read = readLyricsText(makeFile(large));
    ASSERT_EQ(read.failure, LyricsReadFailure::None);
    lines = linesOf(read.text);
    EXPECT_EQ(lines.size(), large.size() / line.size());
    EXPECT_GT(lines.size(), 32767);
    const std::set<QString> distinct(lines.begin(), lines.end());
    EXPECT_EQ(distinct, std::set<QString>{QStringLiteral("[00:00:00]さ[00:00:50]く[00:01:00]ら")});
}

TEST_F(LyricsFileTest, TellsTheReasonsAFileCannotBeReadAndAnEmptyFileIsNone) {
    const QString exactlyAtCap = makeFile(QByteArray(), QStringLiteral("cap.lrc"));
    ASSERT_TRUE(QFile::resize(exactlyAtCap, maxLyricsFileBytes));
    const QString overCap = makeFile(QByteArray(), QStringLiteral("big.lrc"));
    ASSERT_TRUE(QFile::resize(overCap, maxLyricsFileBytes + 1));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.lrc")));
    const QString dangling = folder.filePath(QStringLiteral("dangling.lrc"));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("gone")), dangling));
    struct Case {
        QString path;
        LyricsReadFailure failure;
    };
    const Case cases[] = {
        {folder.filePath(QStringLiteral("missing.lrc")), LyricsReadFailure::Missing},
        {folder.filePath(QStringLiteral("folder.lrc")), LyricsReadFailure::Unreadable},
        {dangling, LyricsReadFailure::Unreadable},
        {overCap, LyricsReadFailure::TooLarge},
        {exactlyAtCap, LyricsReadFailure::None},
        {makeFile(QByteArray(), QStringLiteral("empty.lrc")), LyricsReadFailure::None},
        {makeFile(QByteArray("[00:01:00]\x85\x40\r\n"), QStringLiteral("bad.lrc")),
         LyricsReadFailure::NotDecodable},
        {makeFile(QByteArray("[00:01:00]a\r\n\x82"), QStringLiteral("cut.lrc")),
         LyricsReadFailure::NotDecodable},
        {makeFile(QByteArray("\xFF\xFE[\x00\xD8", 5), QStringLiteral("utf16.lrc")),
         LyricsReadFailure::NotDecodable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const LyricsText read = readLyricsText(c.path);
        EXPECT_EQ(read.failure, c.failure);
        EXPECT_EQ(read.text.isEmpty(), c.path != exactlyAtCap);
    }
}

TEST(LyricsReadFailureMessage, EachReasonHasItsOwnRunLogLine) {
    EXPECT_TRUE(lyricsReadFailureMessage(LyricsReadFailure::None).isEmpty());
    QStringList messages;
    for (const auto failure : {LyricsReadFailure::Missing, LyricsReadFailure::Unreadable,
                               LyricsReadFailure::TooLarge, LyricsReadFailure::NotDecodable}) {
        const QString message = lyricsReadFailureMessage(failure);
        EXPECT_TRUE(message.startsWith(QStringLiteral("歌詞ファイルが読めません。")))
            << message.toStdString();
        EXPECT_FALSE(message.contains(QLatin1Char('\r')) || message.contains(QLatin1Char('\n')));
        EXPECT_FALSE(messages.contains(message));
        messages.append(message);
    }
}

} // namespace
} // namespace tavorin
