// Faults around the files one run reads and writes, and hostile lyrics files and songs, each
// met by b.txt between two ordinary files: whatever happens, each lyrics file keeps its old
// bytes or gets complete new ones that read back, no temporary file stays, the Run Log says
// what happened to b.txt, and the run goes on with c.txt.
#include "lyrics/lyrics_file.h"
#include "lyrics/lyrics_reading.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"
#include "support/cli_process.h"
#include "support/faulty_file_layer.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

const QByteArray oldBytes("[00:01:00]x\r\n");
const QByteArray silence250 = readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/silence250.mp3"_L1);

// Runs the Correction Mode over a.txt, b.txt (with its song, written before) and c.txt in
// folder: b.txt's report ends with line, a.txt and c.txt are rewritten alike.
RunSummary runAroundB(const QString& folder, RecordingHost& host, RunDriver&& driver,
                      const QString& line) {
    const QStringList files = {folder + "a.txt"_L1, folder + "b.txt"_L1, folder + "c.txt"_L1};
    EXPECT_TRUE(writeBytes(files[0], oldBytes) && writeBytes(files[2], oldBytes) &&
                writeBytes(folder + "a.mp3"_L1, silence250) &&
                writeBytes(folder + "c.mp3"_L1, silence250));
    WizardSettings settings;
    settings.newMode = false, settings.name = "A"_L1;
    const RunSummary summary = driver.run(files, settings);
    EXPECT_TRUE(host.log.section(u"b.txt\r\n"_s, 1).section(u"\r\n\r\n"_s, 0, 0).endsWith(line))
        << host.log.right(600).toStdString();
    EXPECT_TRUE(readBytes(files[0]) != oldBytes && readBytes(files[0]) == readBytes(files[2]));
    EXPECT_EQ(QDir(folder).entryList({"*tavorin-*"_L1}, QDir::AllEntries | QDir::Hidden),
              QStringList());
    return summary;
}

// A run over a.txt, b.txt and c.txt, each beside its song, where only b.txt fails: a step of
// its replacement fails (the system message closes its line), or change replaces it between
// the song lookup and the lyrics read, and whatever then stands at the path is left as it is.
TEST(RunFault, OnlyTheFailingFileKeepsItsOldStateAndTheRunGoesOn) {
    const struct {
        FileStep step;
        int error;
        const char* line;
        void (*change)(const QString&) = nullptr;
    } cases[] = {
        {FileStep::Create, EACCES, "歌詞ファイルが開けません。"}, // a read-only folder
        {FileStep::Create, EROFS, "歌詞ファイルが開けません。"},
        {FileStep::WriteHalfway, ENOSPC, "歌詞ファイルに書き込めません。"},
        {FileStep::Sync, EIO, "歌詞ファイルに書き込めません。"},
        {FileStep::Permissions, EPERM, "歌詞ファイルに書き込めません。"},
        {FileStep::Replace, EXDEV, "歌詞ファイルに書き込めません。"},
        // A read-only file: the superuser, under whom CI runs, may write it at the system call
        // level, so the writer itself refuses a file nobody may write.
        {FileStep::None, EACCES, "歌詞ファイルが開けません。"},
        {FileStep::None, 0, "歌詞ファイルが読めません。（見つかりません）",
         [](const QString& path) { QFile::remove(path); }},
        {FileStep::None, 0, "歌詞ファイルが読めません。（開けません）",
         [](const QString& path) { QFile::remove(path), QDir().mkdir(path); }},
        {FileStep::None, 0, "歌詞ファイルが読めません。（開けません）",
         [](const QString& path) { QFile::remove(path), QFile::link(path + ".gone"_L1, path); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.step) << " " << c.error << " " << c.line);
        QTemporaryDir temp;
        const QString folder = temp.path() + "/L/"_L1, victim = folder + "b.txt"_L1;
        ASSERT_TRUE(
            writeBytes(victim, oldBytes) && writeBytes(folder + "b.mp3"_L1, "mp3") &&
            (c.step != FileStep::None || QFile::setPermissions(victim, QFileDevice::ReadOwner)));
        FaultyFileLayer layer(c.step, c.error), sound(FileStep::None);
        const auto write = [&](const QString& path, const QString& text, TextEncoding encoding) {
            return writeLyricsFile(path, text, encoding, path == victim ? layer : sound);
        };
        const auto measure = [&](const QString& song, bool) {
            return c.change && song.endsWith("b.mp3"_L1) ? (c.change(victim), SongInfo{})
                                                         : SongInfo{};
        };
        RecordingHost host;
        const RunSummary summary =
            runAroundB(folder, host, RunDriver(host, measure, write),
                       QString::fromUtf8(c.line) +
                           (c.change ? QString() : u"（"_s + layer.message() + u"）"_s));
        EXPECT_EQ(readBytes(victim), c.change ? QByteArray("<missing>") : oldBytes);
        EXPECT_EQ(summary.count(c.change ? FileOutcome::ReadFailed : FileOutcome::WriteFailed), 1);
    }
}

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
        {"a song as lyrics", silence250, "歌詞ファイルが読めません。（文字コードを判別できません）",
         nullptr},
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
    TaglibPlaybackEngine engine;
    engine.init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir temp;
        const QString lyricsPath = temp.filePath("b.txt"_L1);
        const bool sparse = c.lyrics == "sparse";
        ASSERT_TRUE(writeBytes(lyricsPath, sparse ? plain : c.lyrics) &&
                    (!sparse || QFile::resize(lyricsPath, 200LL << 20)) &&
                    writeBytes(temp.filePath("b"_L1 + QLatin1StringView(c.songSuffix)),
                               c.song.isEmpty() ? silence250 : c.song));
        RecordingHost host;
        runAroundB(temp.path() + u'/', host, RunDriver(host, engine), QString::fromUtf8(c.outcome));
        if (!c.rewritten) {
            EXPECT_TRUE(sparse ? QFileInfo(lyricsPath).size() == 200LL << 20
                               : readBytes(lyricsPath) == c.lyrics);
            continue;
        }
        const QByteArray after = readBytes(lyricsPath);
        EXPECT_EQ(readLyricsRecord(lyricsPath, true).failure, LyricsReadFailure::None);
        EXPECT_TRUE(
            QString::fromLatin1(after).contains(QRegularExpression(QString::fromUtf8(c.rewritten))))
            << after.right(200).toStdString();
        // Every Time Tag and every character between them is still there.
        const QByteArray bodyAfter = after.left(after.lastIndexOf("\r\n\r\n@"));
        for (const char kept : {'[', 'a', 'x', '\0'}) {
            EXPECT_EQ(bodyAfter.count(kept), c.lyrics.split('@').value(0).count(kept));
        }
    }
}

// tavorin-cli killed (SIGKILL) or interrupted (SIGINT twice, as by Ctrl+C) at random moments of
// a run over 100 lyrics files: after each, every file holds its old bytes or its complete new
// ones, and --undo gives every file its old bytes back; an interrupted run ends with 130
// between two files, leaving no temporary file; the
// next run clears the one a killed run can leave, and only that: names merely like it are the
// user's.
TEST(KillTest, EveryFileIsOldOrNewAfterAKillOrCtrlCAtAnyMoment) {
    constexpr int fileCount = 100;
    // TAVORIN_KILL_POINTS overrides the number of kills (CI's sanitizer build runs fewer).
    const int points = qEnvironmentVariable("TAVORIN_KILL_POINTS", "200"_L1).toInt();
    QTemporaryDir temp;
    const QString folder = temp.path() + "/L/"_L1;
    // Files of different lengths, so a cut-off copy of one never equals another.
    const auto oldLyrics = [](int i) { return "[00:01:00]a\r\n" + QByteArray(i * 37, 'x'); };
    const auto lyricsPath = [&](int i) { return folder + QString::number(100 + i) + ".txt"_L1; };
    const QStringList others = texts(".tavorin-.tmp|.tavorin-ABC.tmp|.tavorin-abc.tmp.txt|"
                                     ".tavorin-abcdefghijk.tmp|.tavorin-dir.tmp|tavorin-abc.tmp");
    for (const QString& name : others + texts(".tavorin-0.tmp|.tavorin-zz9a8b7c6d.tmp")) {
        ASSERT_TRUE(name.contains("dir"_L1) ? QDir().mkpath(folder + name)
                                            : writeBytes(folder + name, "kept?"));
    }
    const auto temporaryFiles = [&] {
        return QDir(folder).entryList({"*tavorin-*"_L1}, QDir::AllEntries | QDir::Hidden);
    };
    const QString reportPath = temp.filePath("report.json"_L1);
    // Starts a run over the old files and sends signal (twice) after delayUs, if still running.
    const auto run = [&](int signal, qint64 delayUs) {
        auto process = std::make_unique<QProcess>();
        for (int i = 0; i < fileCount; ++i) {
            EXPECT_TRUE(writeBytes(lyricsPath(i), oldLyrics(i)) &&
                        writeBytes(lyricsPath(i).replace(".txt"_L1, ".mp3"_L1), silence250));
        }
        process->setStandardOutputFile(QProcess::nullDevice());
        QFile::remove(reportPath);
        EXPECT_TRUE(startCli(*process, texts("-n|--name=A|--report") << reportPath << folder,
                             temp.path()));
        ::usleep(static_cast<useconds_t>(delayUs));
        if (signal != 0 && !process->waitForFinished(0)) {
            ::kill(static_cast<pid_t>(process->processId()), signal);
            ::kill(static_cast<pid_t>(process->processId()), signal);
        }
        EXPECT_TRUE(process->state() == QProcess::NotRunning || process->waitForFinished(120000));
        return process;
    };
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    ASSERT_EQ(run(0, 0)->exitCode(), 0);
    ASSERT_EQ(temporaryFiles(), others);
    const qint64 runMs = std::max<qint64>(QDateTime::currentMSecsSinceEpoch() - start, 20);
    std::vector<QByteArray> expected;
    for (int i = 0; i < fileCount; ++i) {
        expected.push_back(readBytes(lyricsPath(i)));
        ASSERT_NE(expected.back(), oldLyrics(i)) << "the run rewrites every file";
    }

    int partlyDone[2] = {}; // by SIGKILL, by SIGINT
    for (int k = 0; k < points; ++k) {
        const bool interrupt = k % 2 == 1;
        // Any moment from the start of the process to a little after a whole run.
        const auto process =
            run(interrupt ? SIGINT : SIGKILL, QRandomGenerator::global()->bounded(runMs * 1100));
        int written = 0;
        for (int i = 0; i < fileCount; ++i) {
            const QByteArray bytes = readBytes(lyricsPath(i));
            ASSERT_TRUE(bytes == oldLyrics(i) || bytes == expected[i])
                << "kill " << k << ", file " << i << ": " << bytes.toStdString();
            written += bytes == expected[i] ? 1 : 0;
        }
        // Ctrl+C before the handler is in place ends the process as SIGKILL would.
        const bool ended = process->exitStatus() == QProcess::NormalExit;
        ASSERT_TRUE(!ended || process->exitCode() == 130 ||
                    (written == fileCount && process->exitCode() == 0))
            << k;
        // An interrupted run still leaves its report, saying so and naming each file handled.
        if (ended && process->exitCode() == 130) {
            const QJsonObject report = QJsonDocument::fromJson(readBytes(reportPath)).object();
            EXPECT_TRUE(report["aborted"_L1].toBool() &&
                        report["counts"_L1]["written"_L1].toInt() == written)
                << "the report after Ctrl+C " << k;
        }
        partlyDone[interrupt] += ended == interrupt && written > 0 && written < fileCount ? 1 : 0;
        // Undone twice, a file edited in between: the second undo touches nothing.
        const QByteArray edited("[00:09:00]edited after the undo\r\n");
        for (int again = 0; again < 2; ++again) {
            QProcess undo;
            undo.setStandardOutputFile(QProcess::nullDevice());
            ASSERT_TRUE(startCli(undo, texts("--undo"), temp.path()) && undo.waitForFinished());
            EXPECT_EQ(undo.exitCode(), 0) << k;
            for (int i = 0; i < fileCount; ++i) {
                ASSERT_EQ(readBytes(lyricsPath(i)), again && i == 0 ? edited : oldLyrics(i))
                    << "undo " << again << " after kill " << k;
            }
            writeBytes(lyricsPath(0), edited);
        }
        ASSERT_LE(temporaryFiles().size(), others.size() + (ended ? 0 : 1));
        if (temporaryFiles() != others) {
            run(0, 0);
            EXPECT_EQ(temporaryFiles(), others);
        }
    }
    // The kills and interrupts really landed between files.
    EXPECT_TRUE(partlyDone[0] > 0 && partlyDone[1] > 0) << partlyDone[0] << " " << partlyDone[1];
}

} // namespace
} // namespace tavorin
