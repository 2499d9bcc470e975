// Hostile lyrics files and songs through a real Correction Mode run with the real playback
// engine: each one ends with its own Run Log line, the lyrics file is either left as it was
// or rewritten whole into a file that reads back, and the run goes on.
#include "lyrics/lyrics_reading.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// count frames of MPEG-1 Layer III, 128 kbit/s, 44.1 kHz (417 bytes) with payloads of fill.
QByteArray frames(int count, char fill) {
    return (QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(417 - 4, fill)).repeated(count);
}

TEST(HostileInput, EndsWithItsOwnLineAndLeavesAFileThatReadsBack) {
    const QByteArray plain("[00:01:00]a\r\n[00:02:00]b\r\n@TimeRatio=1\r\n@SilencemSec=0\r\n");
    const QByteArray ratio("[00:01:00]a\r\n@TimeRatio=");
    const char* done = "正常に処理しました。";
    const char* badRatio = "＠TimeRatio の値が正しくないので変換しません。";
    const char* songRatio = "@TimeRatio=0\\.9953125\r\n";
    const char* silence = "@SilencemSec=[0-9]+\r\n";
    const struct {
        const char* what;
        QByteArray lyrics;     // "sparse": a 200 MiB file, without writing 200 MiB
        const char* outcome;   // the file's last Run Log line
        const char* rewritten; // a regular expression the new file matches; nullptr: untouched
        QByteArray song = {};  // empty: 250 ms of silence
        const char* songSuffix = ".mp3";
    } cases[] = {
        {"empty", "", done, "@EditedBy=A\r\n$"},
        {"200 MiB", "sparse", "歌詞ファイルが読めません。（16MB を超えています）", nullptr},
        {"a song as lyrics", readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/silence250.mp3"_L1),
         "歌詞ファイルが読めません。（文字コードを判別できません）", nullptr},
        {"NUL bytes", QByteArray(4096, '\0'), done, "^\\x00{4096}\r\n\r\n@TimeRatio="},
        {"1 MiB lines", ("[00:01:00]" + QByteArray(1 << 20, 'a') + "\r\n").repeated(3), done,
         "^\\[00:01:00\\]a{60000}"},
        {"100,000 Time Tags on one line",
         QByteArray("[00:00:01]x").repeated(100000) + "\r\n@TimeRatio=1\r\n", done,
         "^(\\[00:00:01\\]x){1000}"},
        {"99:59:99 pushed past 99 minutes", "[99:59:99]end\r\n@TimeRatio=0.5\r\n", done,
         "^\\[19[0-9]:[0-9]{2}:[0-9]{2}\\]end"},
        {"ratio 0", ratio + "0\r\n", done, songRatio},
        {"ratio -1", ratio + "-1\r\n", badRatio, nullptr},
        {"ratio 1e-300", ratio + "1e-300\r\n", badRatio, nullptr},
        {"ratio 1e300", ratio + "1e300\r\n", badRatio, nullptr},
        {"ratio NaN", ratio + "NaN\r\n", done, songRatio},
        {"silence 2^31", "[00:01:00]a\r\n@SilencemSec=2147483648\r\n", done, silence},
        {"silence -2^31", "[00:01:00]a\r\n@SilencemSec=-2147483648\r\n", done, silence},
        // Ordinary lyrics beside a hostile song: measured, converted and rewritten.
        {"truncated MP3", plain, done, silence,
         readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/silence500.mp3"_L1).left(1000)},
        {"one frame header", plain, done, "@SilencemSec=0\r\n", QByteArray("\xFF\xFB\x90\x64", 4)},
        {"every frame silent", plain, done, "@SilencemSec=0\r\n", frames(200, '\0')},
        {"RIFF chunks past the end", plain, done, silence,
         QByteArray("RIFF\xF0\xFF\xFF\xFFRMP3data\xF0\xFF\xFF\x7F", 20) + frames(3, '\x55') +
             "LIST\xFF\xFF\xFF\xFFINFO",
         ".rmp"},
        {"ID3v2 of absurd size", plain, done, silence,
         QByteArray("ID3\x04\x00\x10\x7F\x7F\x7F\x7F", 10) + frames(3, '\x55')},
        {"ID3v2 tags chained to the end", plain, done, silence,
         QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", 10).repeated(20) + frames(3, '\x55')},
    };
    WizardSettings settings;
    settings.newMode = false, settings.name = "A"_L1;
    TaglibPlaybackEngine engine;
    engine.init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir temp;
        const QString lyricsPath = temp.filePath("song.txt"_L1);
        const bool sparse = c.lyrics == "sparse";
        const QByteArray song =
            c.song.isEmpty() ? readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/silence250.mp3"_L1)
                             : c.song;
        ASSERT_TRUE(writeBytes(lyricsPath, sparse ? plain : c.lyrics));
        ASSERT_TRUE(!sparse || QFile::resize(lyricsPath, 200LL * 1024 * 1024));
        ASSERT_TRUE(writeBytes(temp.filePath("song"_L1 + QLatin1StringView(c.songSuffix)), song));

        RecordingHost host;
        EXPECT_EQ(RunDriver(host, engine).run({lyricsPath}, settings).filesHandled, 1);
        EXPECT_TRUE(host.log.endsWith(QString::fromUtf8(c.outcome) + u"\r\n\r\n処理終了\r\n"_s))
            << host.log.right(300).toStdString();
        EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        if (!c.rewritten) {
            EXPECT_TRUE(sparse ? QFileInfo(lyricsPath).size() == 200LL * 1024 * 1024
                               : readBytes(lyricsPath) == c.lyrics);
            continue;
        }
        const QByteArray after = readBytes(lyricsPath);
        EXPECT_NE(after, c.lyrics);
        EXPECT_EQ(readLyricsRecord(lyricsPath, true).failure, LyricsReadFailure::None);
        EXPECT_TRUE(
            QString::fromLatin1(after).contains(QRegularExpression(QString::fromUtf8(c.rewritten))))
            << after.right(200).toStdString();
        // Every Time Tag and every character between them is still there.
        const QByteArray bodyBefore =
            c.lyrics.first(c.lyrics.contains('@') ? c.lyrics.indexOf('@') : c.lyrics.size());
        const QByteArray bodyAfter = after.left(after.lastIndexOf("\r\n\r\n@"));
        for (const char kept : {'[', 'a', 'x', '\0'}) {
            EXPECT_EQ(bodyAfter.count(kept), bodyBefore.count(kept)) << int(kept);
        }
    }
}

} // namespace
} // namespace tavorin
