#include "lyrics/lyrics_lines.h"
#include "lyrics/lyrics_reading.h"
#include "run/run_test_support.h"
#include "song/time_base.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// The lines of a text, each followed by "¶".
QString linesOf(QStringView text) {
    QString lines;
    forEachLyricsLine(text,
                      [&](QStringView line, QStringView) { lines += line.toString() + u"¶"_s; });
    return lines;
}

TEST(ForEachLyricsLine, RemovesCarriageReturnsAndCutsAtLineFeeds) {
    const struct {
        const char* text;
        const char* lines;
    } cases[] = {
        {"a\r\nb\r\nc\r\n", "a¶b¶c¶"},
        {"a\rb\rc\r", "abc¶"},
        {"a\nb\nc", "a¶b¶c¶"},
        {"", ""},
        {"\n", "¶"},
        {"\r\n", "¶"},
        {"\r", ""},
        {"\n\r", "¶"},
        {"a\n\nb", "a¶¶b¶"},
        {"a\n\n", "a¶¶"},
        {"a\r\r\nb", "a¶b¶"},
        {"a\rb\r\nc\r\rd", "ab¶cd¶"},
        {"\r\r\n\r", "¶"},
        {"[00:01:00]さくら\r\n@Title=春\r\n", "[00:01:00]さくら¶@Title=春¶"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(linesOf(QString::fromUtf8(c.text)), QString::fromUtf8(c.lines))
            << QString::fromUtf8(c.text).toHtmlEscaped().toStdString();
    }
}

// The same two lines in every encoding a file may have: read, then written back to the byte.
TEST(LyricsFile, ReadsEveryEncodingAndWritesTheSameBytesBack) {
    const QString text = u"[00:01:00]さくら\r\n[00:02:50]桜\r\n"_s;
    const auto withBom = [&](QStringConverter::Encoding encoding) {
        return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text));
    };
    const std::pair<QByteArray, TextEncoding> files[] = {
        {"[00:01:00]\x82\xB3\x82\xAD\x82\xE7\r\n[00:02:50]\x8D\xF7\r\n", TextEncoding::Cp932},
        {text.toUtf8(), TextEncoding::Utf8},
        {withBom(QStringConverter::Utf8), TextEncoding::Utf8Bom},
        {withBom(QStringConverter::Utf16LE), TextEncoding::Utf16LeBom},
        {withBom(QStringConverter::Utf16BE), TextEncoding::Utf16BeBom},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath("a.lrc"_L1);
    for (const auto& [bytes, encoding] : files) {
        ASSERT_TRUE(writeBytes(path, bytes));
        const LyricsReading read = readLyricsRecord(path, true);
        EXPECT_EQ(read.failure, LyricsReadFailure::None);
        EXPECT_EQ(read.encoding, encoding);
        EXPECT_EQ(read.record.text, text);
        EXPECT_EQ(writeLyricsFile(path, read.record.text, read.encoding).outcome,
                  WriteOutcome::Written);
        EXPECT_EQ(readBytes(path), bytes);
    }
}

// A file that cannot be read whole gives the reset record and says why; an empty file is none.
TEST(LyricsFile, TellsWhyAFileCannotBeReadAndKeepsTheResetRecord) {
    QTemporaryDir folder;
    const auto file = [&](const char* name, const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(folder.filePath(QString::fromUtf8(name)), bytes));
        return folder.filePath(QString::fromUtf8(name));
    };
    const QString atCap = file("cap.lrc", {});
    ASSERT_TRUE(QFile::resize(atCap, maxLyricsFileBytes));
    const QString overCap = file("big.lrc", {});
    ASSERT_TRUE(QFile::resize(overCap, maxLyricsFileBytes + 1));
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.lrc"_L1));
    ASSERT_TRUE(QFile::link(folder.filePath("gone"_L1), folder.filePath("dangling.lrc"_L1)));
    const std::pair<QString, LyricsReadFailure> cases[] = {
        {folder.filePath("missing.lrc"_L1), LyricsReadFailure::Missing},
        {folder.filePath("folder.lrc"_L1), LyricsReadFailure::Unreadable},
        {folder.filePath("dangling.lrc"_L1), LyricsReadFailure::Unreadable},
        {overCap, LyricsReadFailure::TooLarge},
        {atCap, LyricsReadFailure::None},
        {file("empty.lrc", {}), LyricsReadFailure::None},
        // A lead byte followed by a byte no code page 932 character has; a cut-off character.
        {file("bad.lrc", "@TimeRatio=1\r\n[00:01:00]\x85\x40\r\n"),
         LyricsReadFailure::NotDecodable},
        {file("cut.lrc", "@TimeRatio=1\r\n[00:01:00]a\r\n\x82"), LyricsReadFailure::NotDecodable},
        {file("utf16.lrc", QByteArray("\xFF\xFE[\x00\xD8", 5)), LyricsReadFailure::NotDecodable},
    };
    for (const auto& [path, failure] : cases) {
        const LyricsReading read = readLyricsRecord(path, true);
        EXPECT_EQ(read.failure, failure) << path.toStdString();
        EXPECT_EQ(read.record.text.isEmpty(), path != atCap);
        EXPECT_EQ(read.record.timeRatio, path == atCap ? defaultWinampRatio : 0.0);
        EXPECT_FALSE(read.record.hasTiming);
        EXPECT_EQ(lyricsReadFailureMessage(failure).isEmpty(), failure == LyricsReadFailure::None);
    }
}

} // namespace
} // namespace tavorin
