// tavorin-cli killed (SIGKILL) or interrupted (SIGINT twice, as by Ctrl+C) at random moments of
// a run over 100 lyrics files: after each, every file holds its old bytes or its complete new
// ones; an interrupted run ends with 130 between two files, leaving no temporary file; the
// next run clears the one a killed run can leave, and only that: names merely like it are the
// user's.
#include "run/run_test_support.h"
#include "support/cli_process.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

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
    // Starts a run over the old files and sends signal (twice) after delayUs, if still running.
    const auto run = [&](QProcess& process, int signal, qint64 delayUs) {
        for (int i = 0; i < fileCount; ++i) {
            ASSERT_TRUE(writeBytes(lyricsPath(i), oldLyrics(i)));
        }
        process.setStandardOutputFile(QProcess::nullDevice());
        ASSERT_TRUE(startCli(process, texts("-n|--name=A") << folder, temp.path()));
        ::usleep(static_cast<useconds_t>(delayUs));
        if (signal != 0 && !process.waitForFinished(0)) {
            ::kill(static_cast<pid_t>(process.processId()), signal);
            ::kill(static_cast<pid_t>(process.processId()), signal);
        }
        ASSERT_TRUE(process.state() == QProcess::NotRunning || process.waitForFinished(120000));
    };
    const QByteArray song = readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/silence250.mp3"_L1);
    for (int i = 0; i < fileCount; ++i) {
        ASSERT_TRUE(writeBytes(folder + QString::number(100 + i) + ".mp3"_L1, song));
    }
    QElapsedTimer clock;
    clock.start();
    QProcess whole;
    run(whole, 0, 0);
    ASSERT_EQ(whole.exitCode(), 0);
    ASSERT_EQ(temporaryFiles(), others);
    const qint64 runMs = std::max<qint64>(clock.elapsed(), 20);
    std::vector<QByteArray> expected;
    for (int i = 0; i < fileCount; ++i) {
        expected.push_back(readBytes(lyricsPath(i)));
        ASSERT_NE(expected.back(), oldLyrics(i)) << "the run rewrites every file";
    }

    int partlyDone[2] = {}; // by SIGKILL, by SIGINT
    for (int k = 0; k < points; ++k) {
        const bool interrupt = k % 2 == 1;
        QProcess process;
        // Any moment from the start of the process to a little after a whole run.
        run(process, interrupt ? SIGINT : SIGKILL,
            QRandomGenerator::global()->bounded(runMs * 1100));
        int written = 0;
        for (int i = 0; i < fileCount; ++i) {
            const QByteArray bytes = readBytes(lyricsPath(i));
            ASSERT_TRUE(bytes == oldLyrics(i) || bytes == expected[i])
                << "kill " << k << ", file " << i << ": " << bytes.toStdString();
            written += bytes == expected[i] ? 1 : 0;
        }
        // Ctrl+C before the handler is in place ends the process as SIGKILL would.
        const bool ended = process.exitStatus() == QProcess::NormalExit;
        ASSERT_TRUE(!ended || process.exitCode() == 130 ||
                    (written == fileCount && process.exitCode() == 0))
            << k;
        partlyDone[interrupt] += ended == interrupt && written > 0 && written < fileCount ? 1 : 0;
        ASSERT_LE(temporaryFiles().size(), others.size() + (ended ? 0 : 1));
        if (temporaryFiles() != others) {
            QProcess next;
            run(next, 0, 0);
            EXPECT_EQ(temporaryFiles(), others);
        }
    }
    // The kills and interrupts really landed between files.
    EXPECT_GT(partlyDone[0], 0);
    EXPECT_GT(partlyDone[1], 0);
}

} // namespace
} // namespace tavorin
