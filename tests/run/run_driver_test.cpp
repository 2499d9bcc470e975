#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// The progress of a whole run is checked by every mode case below.
TEST(RunDriver, AnAbortEndsTheRunBeforeTheNextFileAndSaysSo) {
    QTemporaryDir temp;
    QStringList files;
    for (const QString& name : texts("L/a|L/b|L/c|L/d")) {
        ASSERT_TRUE(writeBytes(temp.filePath(name + ".txt"_L1), "[00:01:00]x\r\n"));
        ASSERT_TRUE(writeBytes(temp.filePath(name + ".mp3"_L1), "mp3"));
        files.append(temp.filePath(name + ".txt"_L1));
    }
    WizardSettings settings;
    settings.name = "A"_L1;
    RecordingHost host;
    host.abortAfter = "/b.txt"_L1;
    const RunSummary summary =
        RunDriver(host, [](const QString&, bool) { return SongInfo{}; }).run(files, settings);
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(summary.filesHandled, 2);
    EXPECT_EQ(summary.count(FileOutcome::Written), 2);
    EXPECT_TRUE(host.log.endsWith(u"正常に処理しました。\r\n\r\n処理中断\r\n"_s));
    EXPECT_FALSE(host.log.contains("/c.txt"_L1));
}

// Each case of the table: its name, its mode line (the song's measurement and the Wizard
// Settings), then the sections lyrics, log and, unless the file stays untouched, rewritten.
TEST(ModeTest, EachFileGetsItsReportAndItsBytes) {
    const QString table =
        QString::fromUtf8(readBytes(TAVORIN_TEST_DATA_DIR "/run/mode_cases.txt"_L1));
    const QStringList blocks = table.split("=== "_L1).mid(1);
    ASSERT_EQ(blocks.size(), 26);
    for (const QString& block : blocks) {
        const QStringList parts = QString(block).replace(u'\n', "\r\n"_L1).split("--- "_L1);
        const QStringList head = parts[0].split("\r\n"_L1);
        SCOPED_TRACE(head[0].toStdString());
        SongInfo song;
        WizardSettings settings;
        settings.name = "A"_L1;
        settings.newMode = head[1].startsWith("new "_L1);
        for (const QString& word : head[1].split(u' ').mid(1)) {
            const QString key = word.section(u'=', 0, 0);
            const QString value = word.section(u'=', 1);
            if (key == "ratio"_L1) {
                song.timeRatio = value.toDouble();
            } else if (key == "silence"_L1) {
                song.silencemSec = value.toInt();
            } else if (key == "start"_L1) {
                song.decodeAudioStart = [start = value.toInt()] { return std::optional(start); };
            } else if (key == "title"_L1 || key == "artist"_L1 || key == "album"_L1) {
                (key == "title"_L1    ? song.title
                 : key == "artist"_L1 ? song.artist
                                      : song.album) = value;
            } else {
                bool WizardSettings::*const on = settingSwitch(key);
                ASSERT_TRUE(on) << key.toStdString();
                settings.*on = value == "true"_L1;
            }
        }
        const QString lyrics = parts[1].section("\r\n"_L1, 1);
        const QString rewritten = parts.value(3, parts[1]).section("\r\n"_L1, 1);

        QTemporaryDir temp;
        const QString file = temp.filePath("song.txt"_L1);
        ASSERT_TRUE(writeBytes(file, lyrics.toUtf8()));
        ASSERT_TRUE(writeBytes(temp.filePath("song.mp3"_L1), "mp3"));
        RecordingHost host;
        RunDriver(host, [&](const QString&, bool) { return song; }).run({file}, settings);
        const QString opening = settings.newMode ? u"新規追加開始"_s : u"補正開始"_s;
        EXPECT_EQ(host.log, opening + u"\r\n\r\n歌詞ファイル："_s + file + u"\r\n曲ファイル　："_s +
                                temp.filePath("song.mp3"_L1) + "\r\n"_L1 +
                                parts[2].section("\r\n"_L1, 1) + u"処理終了\r\n"_s);
        EXPECT_EQ(QString::fromUtf8(readBytes(file)), rewritten);
        EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
    }
}

// Tags made against one rip (New-Tag Mode), corrected against another of the same music: the
// tag moves by the difference of the true starts (700 ms), within both rips' tolerances and
// the tag's hundredths. The silent-frame counts of these rips differ by nothing or one frame.
TEST(DecodedStartRun, TagsMoveByTheTrueDifferenceBetweenTwoRips) {
    TaglibPlaybackEngine engine;
    engine.init();
    for (const auto& [tagged, corrected, lowest, highest] :
         {std::tuple("start500_lame_cbr_info", "start1200_lame_vbr_info", "[00:02:69]",
                     "[00:02:70]"),
          {"hiss1200_lame_cbr_info", "start500_ffmpeg_lame", "[00:01:29]", "[00:01:30]"},
          {"start500_ffmpeg_shine", "start1200_lame_cbr_noinfo", "[00:02:64]", "[00:02:75]"}}) {
        QTemporaryDir temp;
        const QString lyrics = temp.filePath("song.txt"_L1), song = temp.filePath("song.mp3"_L1);
        const QString rips = TAVORIN_TEST_DATA_DIR "/song_starts/"_L1;
        ASSERT_TRUE(writeBytes(lyrics, "[00:02:00]a\r\n") &&
                    QFile::copy(rips + QLatin1StringView(tagged) + ".mp3"_L1, song));
        WizardSettings settings;
        settings.name = "A"_L1;
        settings.winampTime = settings.ignoreOwn = false;
        RecordingHost host;
        RunDriver(host, engine).run({lyrics}, settings);
        settings.newMode = false;
        ASSERT_TRUE(QFile::remove(song) &&
                    QFile::copy(rips + QLatin1StringView(corrected) + ".mp3"_L1, song));
        RunDriver corrector(host, engine);
        LyricsFileRecord record;
        corrector.recordFiles([&](const LyricsFileRecord& file) { record = file; }, false);
        corrector.run({lyrics}, settings);
        EXPECT_EQ(record.shiftMeasurement, "decoded_start"_L1);
        EXPECT_NEAR(record.shiftmSec.value_or(0), QByteArray(lowest) > "[00:02" ? 700 : -700, 25);
        const QByteArray tag = readBytes(lyrics).left(10);
        EXPECT_TRUE(tag >= lowest && tag <= highest) << tagged << ' ' << tag.toStdString();
    }
}

} // namespace
} // namespace tavorin
