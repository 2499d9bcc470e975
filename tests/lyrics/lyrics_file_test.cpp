#include "lyrics/lyrics_reading.h"
#include "run/run_test_support.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// The same two lines in every encoding a file may have: read, then written back to the byte.
TEST(LyricsFile, ReadsEveryEncodingBackToTheByteAndTellsWhyAFileCannotBeRead) {
    const QString text = u"[00:01:00]さくら\r\n[00:02:50]桜\r\n"_s;
    const auto withBom = [&](QStringConverter::Encoding encoding) {
        return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text));
    };
    const std::pair<QByteArray, TextEncoding> files[] = {
        {"[00:01:00]\x82\xB3\x82\xAD\x82\xE7\r\n[00:02:50]\x8D\xF7\r\n", TextEncoding::Cp932},
        {text.toUtf8(), TextEncoding::Utf8},
        {withBom(QStringConverter::Utf8), TextEncoding::Utf8Bom},
        {withBom(QStringConverter::Utf16LE), TextEncoding::Utf16LeBom},
        {withBom(QStringConverter::Utf16BE), TextEncoding::Utf16BeBom}};
    QTemporaryDir folder;
    const QString roundTrip = folder.filePath("a.lrc"_L1);
    for (const auto& [bytes, encoding] : files) {
        ASSERT_TRUE(writeBytes(roundTrip, bytes));
        const LyricsReading read = readLyricsRecord(roundTrip, true);
        EXPECT_EQ(read.encoding, encoding);
        EXPECT_EQ(read.record.text, text);
        EXPECT_EQ(writeLyricsFile(roundTrip, text, read.encoding).outcome, WriteOutcome::Written);
        EXPECT_EQ(readBytes(roundTrip), bytes);
    }

    // A file that cannot be read whole gives the reset record and says why; an empty file is none.
    const auto file = [&](const char* name, const QByteArray& bytes, qint64 size = 0) {
        const QString path = folder.filePath(QString::fromUtf8(name));
        EXPECT_TRUE(writeBytes(path, bytes) && (size == 0 || QFile::resize(path, size)));
        return path;
    };
    const QString atCap = file("cap.lrc", {}, maxLyricsFileBytes);
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.lrc"_L1));
    ASSERT_TRUE(QFile::link(folder.filePath("gone"_L1), folder.filePath("dangling.lrc"_L1)));
    const std::pair<QString, LyricsReadFailure> cases[] = {
        {folder.filePath("missing.lrc"_L1), LyricsReadFailure::Missing},
        {folder.filePath("folder.lrc"_L1), LyricsReadFailure::Unreadable},
        {folder.filePath("dangling.lrc"_L1), LyricsReadFailure::Unreadable},
        {file("big.lrc", {}, maxLyricsFileBytes + 1), LyricsReadFailure::TooLarge},
        {atCap, LyricsReadFailure::None},
        {file("empty.lrc", {}), LyricsReadFailure::None},
        // A lead byte followed by a byte no code page 932 character has; a cut-off character.
        {file("bad.lrc", "@TimeRatio=1\r\n[00:01:00]\x85\x40\r\n"),
         LyricsReadFailure::NotDecodable},
        {file("cut.lrc", "@TimeRatio=1\r\n[00:01:00]a\r\n\x82"), LyricsReadFailure::NotDecodable},
        {file("utf16.lrc", QByteArray("\xFF\xFE[\x00\xD8", 5)), LyricsReadFailure::NotDecodable}};
    for (const auto& [path, failure] : cases) {
        const LyricsReading read = readLyricsRecord(path, true);
        EXPECT_EQ(read.failure, failure) << path.toStdString();
        EXPECT_EQ(read.record.text.isEmpty(), path != atCap);
        EXPECT_EQ(read.record.timeRatio == 0.0, path != atCap); // the reset record
    }
}

} // namespace
} // namespace tavorin
