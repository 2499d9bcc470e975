// Hostile lyrics files and songs through a real Correction Mode run with the real playback
// engine: each one ends with its own Run Log line, the lyrics file is either left as it was
// or rewritten whole into a file that reads back, and the run goes on.
#include "lyrics/at_tag_reader.h"
#include "lyrics/lyrics_reading.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <utility>

namespace tavorin {
namespace {

using testing::readBytes;
using testing::RecordingHost;
using testing::writeBytes;

const QString dataDir = QStringLiteral(TAVORIN_TEST_DATA_DIR);

QByteArray fixture(const char* name) {
    return readBytes(dataDir + QStringLiteral("/run/songs/") + QString::fromUtf8(name));
}

// count frames of MPEG-1 Layer III, 128 kbit/s, 44.1 kHz (417 bytes) with payloads of fill.
QByteArray frames(int count, char fill) {
    QByteArray frame("\xFF\xFB\x90\x64", 4);
    frame += QByteArray(417 - 4, fill);
    return frame.repeated(count);
}

QByteArray littleEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

const QByteArray plainLyrics("[00:01:00]a\r\n[00:02:00]b\r\n@TimeRatio=1\r\n@SilencemSec=0\r\n");

struct HostileCase {
    const char* what;
    const char* lyricsName;
    std::function<QByteArray()> lyrics;
    std::function<QByteArray()> song; // named as the lyrics file, ".mp3" or ".rmp"
    const char* songSuffix;
    const char* outcome; // the file's last Run Log line
    bool rewritten;
    const char* mustMatch; // a regular expression the rewritten file matches somewhere
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.what;
}

class HostileInputTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputTest, EndsWithItsOwnLineAndLeavesAFileThatReadsBack) {
    const HostileCase& c = GetParam();
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString lyricsPath = temp.filePath(QString::fromUtf8(c.lyricsName));
    const QString songPath =
        temp.filePath(QFileInfo(lyricsPath).completeBaseName() + QString::fromUtf8(c.songSuffix));
    const QByteArray before = c.lyrics ? c.lyrics() : QByteArray();
    if (c.lyrics) {
        ASSERT_TRUE(writeBytes(lyricsPath, before));
    } else {
        // Over the 16 MB limit, without writing 200 MiB: a sparse file.
        QFile file(lyricsPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.write(plainLyrics) > 0 && file.resize(200LL * 1024 * 1024));
    }
    ASSERT_TRUE(writeBytes(songPath, c.song ? c.song() : fixture("silence250.mp3")));

    WizardSettings settings;
    settings.newMode = false;
    settings.name = QStringLiteral("A");
    TaglibPlaybackEngine engine;
    RecordingHost host;
    const RunSummary summary = RunDriver(host, engine).run({lyricsPath}, settings);

    EXPECT_EQ(summary.filesHandled, 1);
    EXPECT_TRUE(
        host.log.endsWith(QString::fromUtf8(c.outcome) + QStringLiteral("\r\n\r\n処理終了\r\n")))
        << host.log.right(300).toStdString();
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    if (!c.lyrics) {
        EXPECT_EQ(QFileInfo(lyricsPath).size(), 200LL * 1024 * 1024);
        return;
    }
    const QByteArray after = readBytes(lyricsPath);
    if (!c.rewritten) {
        EXPECT_EQ(after, before);
        return;
    }
    EXPECT_NE(after, before);
    EXPECT_EQ(readLyricsRecord(lyricsPath, true).failure, LyricsReadFailure::None);
    EXPECT_TRUE(
        QString::fromLatin1(after).contains(QRegularExpression(QString::fromUtf8(c.mustMatch))))
        << after.right(200).toStdString();
    // Every Time Tag and every character between them is still there.
    const QByteArray bodyBefore = before.contains('@') ? before.left(before.indexOf('@')) : before;
    const QByteArray bodyAfter = after.left(after.lastIndexOf("\r\n\r\n@"));
    for (const char kept : {'[', 'a', 'x', '\0'}) {
        EXPECT_EQ(bodyAfter.count(kept), bodyBefore.count(kept)) << int(kept);
    }
}

// The case's words as a test name: letters and digits, each other run of characters one "_".
std::string caseName(const ::testing::TestParamInfo<HostileCase>& param) {
    std::string name;
    for (const char* p = param.param.what; *p != '\0'; ++p) {
        const bool alnum = std::isalnum(static_cast<unsigned char>(*p)) != 0;
        if (alnum) {
            name += *p;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    return name + std::to_string(param.index);
}

const char* const done = "正常に処理しました。";
const char* const badRatio = "＠TimeRatio の値が正しくないので変換しません。";

// A hostile lyrics file beside an ordinary song.
HostileCase lyricsCase(const char* what, const char* name, std::function<QByteArray()> lyrics,
                       const char* outcome, bool rewritten, const char* mustMatch = "") {
    return {what, name, std::move(lyrics), {}, ".mp3", outcome, rewritten, mustMatch};
}

// An ordinary lyrics file beside a hostile song: measured, converted and rewritten.
HostileCase songCase(const char* what, const char* name, std::function<QByteArray()> song,
                     const char* suffix, const char* mustMatch) {
    return {what, name, [] { return plainLyrics; }, std::move(song), suffix, done, true, mustMatch};
}

QByteArray withRatio(const char* ratio) {
    return QByteArray("[00:01:00]a\r\n@TimeRatio=") + ratio + "\r\n";
}

const char* const songRatio = "@TimeRatio=0\\.9953125\r\n";
const char* const anySilence = "@SilencemSec=[0-9]+\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lyrics, HostileInputTest,
    ::testing::Values(
        lyricsCase(
            "empty", "empty.txt", [] { return QByteArray(); }, done, true, "@EditedBy=A\r\n$"),
        lyricsCase("200 MiB", "huge.txt", {}, "歌詞ファイルが読めません。（16MB を超えています）",
                   false),
        lyricsCase(
            "a song named .lrc", "binary.lrc", [] { return fixture("silence250.mp3"); },
            "歌詞ファイルが読めません。（文字コードを判別できません）", false),
        lyricsCase(
            "NUL bytes", "nul.txt", [] { return QByteArray(4096, '\0'); }, done, true,
            "^\\x00{4096}\r\n\r\n@TimeRatio="),
        lyricsCase(
            "1 MiB lines", "long.txt",
            [] { return ("[00:01:00]" + QByteArray(1 << 20, 'a') + "\r\n").repeated(3); }, done,
            true, "^\\[00:01:00\\]a{60000}"),
        lyricsCase(
            "100,000 Time Tags on one line", "many.txt",
            [] { return QByteArray("[00:00:01]x").repeated(100000) + "\r\n@TimeRatio=1\r\n"; },
            done, true, "^(\\[00:00:01\\]x){1000}"),
        lyricsCase(
            "99:59:99 pushed past 99 minutes", "late.txt",
            [] { return QByteArray("[99:59:99]end\r\n@TimeRatio=0.5\r\n"); }, done, true,
            "^\\[19[0-9]:[0-9]{2}:[0-9]{2}\\]end"),
        lyricsCase(
            "ratio 0", "r0.txt", [] { return withRatio("0"); }, done, true, songRatio),
        lyricsCase(
            "ratio -1", "r1.txt", [] { return withRatio("-1"); }, badRatio, false),
        lyricsCase(
            "ratio 1e-300", "r2.txt", [] { return withRatio("1e-300"); }, badRatio, false),
        lyricsCase(
            "ratio 1e300", "r3.txt", [] { return withRatio("1e300"); }, badRatio, false),
        lyricsCase(
            "ratio NaN", "r4.txt", [] { return withRatio("NaN"); }, done, true, songRatio),
        lyricsCase(
            "ratio inf", "r5.txt", [] { return withRatio("inf"); }, done, true, songRatio),
        lyricsCase(
            "silence 2^31", "s1.txt",
            [] { return QByteArray("[00:01:00]a\r\n@SilencemSec=2147483648\r\n"); }, done, true,
            anySilence),
        lyricsCase(
            "silence -2^31", "s2.txt",
            [] { return QByteArray("[00:01:00]a\r\n@SilencemSec=-2147483648\r\n"); }, done, true,
            anySilence)),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Songs, HostileInputTest,
    ::testing::Values(
        songCase(
            "truncated MP3", "cut.txt", [] { return fixture("silence500.mp3").left(1000); }, ".mp3",
            anySilence),
        songCase(
            "one frame header", "one.txt", [] { return QByteArray("\xFF\xFB\x90\x64", 4); }, ".mp3",
            "@SilencemSec=0\r\n"),
        songCase(
            "every frame silent", "quiet.txt", [] { return frames(200, '\0'); }, ".mp3",
            "@SilencemSec=0\r\n"),
        songCase(
            "RIFF chunks past the end", "riff.txt",
            [] {
                return "RIFF" + littleEndian32(0xFFFFFFF0) + "RMP3" + "data" +
                       littleEndian32(0x7FFFFFF0) + frames(3, '\x55') + "LIST" +
                       littleEndian32(0xFFFFFFFF) + "INFO";
            },
            ".rmp", anySilence),
        songCase(
            "ID3v2 of absurd size", "id3.txt",
            [] { return QByteArray("ID3\x04\x00\x10\x7F\x7F\x7F\x7F", 10) + frames(3, '\x55'); },
            ".mp3", anySilence),
        songCase(
            "ID3v2 tags chained to the end", "id3chain.txt",
            [] {
                return QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", 10).repeated(20) +
                       frames(3, '\x55');
            },
            ".mp3", anySilence)),
    caseName);

} // namespace
} // namespace tavorin
