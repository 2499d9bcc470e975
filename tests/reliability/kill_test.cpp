// tavorin-cli killed (SIGKILL) at random moments of a run over 100 lyrics files: after every
// kill each file holds its old bytes or its complete new ones, and the next run clears any
// temporary file the killed one left.
#include "run/run_test_support.h"
#include "support/cli_process.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <unistd.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

TEST(KillTest, EveryFileIsOldOrNewAfterAKillAtAnyMoment) {
    constexpr int fileCount = 100;
    // TAVORIN_KILL_POINTS overrides the number of kills (CI's sanitizer build runs fewer).
    const int killPoints = qEnvironmentVariableIntValue("TAVORIN_KILL_POINTS") > 0
                               ? qEnvironmentVariableIntValue("TAVORIN_KILL_POINTS")
                               : 200;
    QTemporaryDir temp;
    const QString folder = temp.path() + "/L/"_L1;
    const QByteArray song = readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/silence250.mp3"_L1);
    // Files of different lengths, so a cut-off copy of one never equals another.
    const auto oldLyrics = [](int i) {
        return "[00:01:00]a\r\n[00:02:00]b\r\n" + QByteArray(i * 37, 'x') + "\r\n";
    };
    const auto lyricsPath = [&](int i) { return folder + QString::number(100 + i) + ".txt"_L1; };
    const auto resetLyrics = [&] {
        for (int i = 0; i < fileCount; ++i) {
            ASSERT_TRUE(writeBytes(lyricsPath(i), oldLyrics(i)));
        }
    };
    const auto start = [&](QProcess& process) {
        process.setStandardOutputFile(QProcess::nullDevice());
        ASSERT_TRUE(startCli(process, texts("-n|--name=A") << folder, temp.path()));
    };
    const auto temporaryFiles = [&] {
        return QDir(folder).entryList({".tavorin-*"_L1}, QDir::Files | QDir::Hidden);
    };
    for (int i = 0; i < fileCount; ++i) {
        ASSERT_TRUE(writeBytes(folder + QString::number(100 + i) + ".mp3"_L1, song));
    }
    resetLyrics();
    QElapsedTimer clock;
    clock.start();
    QProcess whole;
    start(whole);
    ASSERT_TRUE(whole.waitForFinished(120000));
    ASSERT_EQ(whole.exitCode(), 0);
    const qint64 runMs = std::max<qint64>(clock.elapsed(), 20);
    std::vector<QByteArray> expected;
    for (int i = 0; i < fileCount; ++i) {
        expected.push_back(readBytes(lyricsPath(i)));
        ASSERT_NE(expected.back(), oldLyrics(i)) << "the run rewrites every file";
    }

    int killedMidRun = 0;
    int partlyDone = 0;
    int staleTemporaries = 0;
    for (int k = 0; k < killPoints; ++k) {
        resetLyrics();
        QProcess process;
        start(process);
        // Any moment from the start of the process to a little after a whole run.
        ::usleep(static_cast<useconds_t>(QRandomGenerator::global()->bounded(runMs * 1100)));
        if (!process.waitForFinished(0)) {
            ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
            ASSERT_TRUE(process.waitForFinished(60000));
        }
        killedMidRun += process.exitStatus() == QProcess::CrashExit ? 1 : 0;
        int written = 0;
        for (int i = 0; i < fileCount; ++i) {
            const QByteArray bytes = readBytes(lyricsPath(i));
            ASSERT_TRUE(bytes == oldLyrics(i) || bytes == expected[i])
                << "kill " << k << ", file " << i << ": " << bytes.toStdString();
            written += bytes == expected[i] ? 1 : 0;
        }
        partlyDone += written > 0 && written < fileCount ? 1 : 0;
        // Only the one file being replaced at the kill can have left a temporary file, and the
        // next run clears it.
        ASSERT_LE(temporaryFiles().size(), 1);
        staleTemporaries += static_cast<int>(temporaryFiles().size());
        if (!temporaryFiles().isEmpty()) {
            QProcess next;
            start(next);
            ASSERT_TRUE(next.waitForFinished(120000));
            EXPECT_EQ(temporaryFiles(), QStringList());
        }
    }
    // The kills really landed inside runs, and between files.
    EXPECT_GT(killedMidRun, 0);
    EXPECT_GT(partlyDone, 0);
    std::cout << "[ kills ] " << killPoints << " kill points, " << killedMidRun
              << " killed a running process, " << partlyDone << " in the middle of the list, "
              << staleTemporaries << " left a temporary file (cleared by the next run)\n";
}

} // namespace
} // namespace tavorin
