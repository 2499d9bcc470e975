// tavorin-cli killed (SIGKILL) at random moments of a run over 100 lyrics files: after every
// kill each file holds its old bytes or its complete new ones, and the next run clears any
// temporary file the killed one left.
#include "run/run_test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>

namespace tavorin {
namespace {

using testing::readBytes;
using testing::writeBytes;

constexpr int fileCount = 100;

// TAVORIN_KILL_POINTS overrides the number of kills (CI's sanitizer build runs fewer).
int killPoints() {
    const int wanted = qEnvironmentVariableIntValue("TAVORIN_KILL_POINTS");
    return wanted > 0 ? wanted : 200;
}

class KillTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        const QString song = QStringLiteral(TAVORIN_TEST_DATA_DIR "/run/songs/silence250.mp3");
        ASSERT_TRUE(QDir().mkpath(folder()));
        for (int i = 0; i < fileCount; ++i) {
            const QString base = folder() + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
            files.append(base + QStringLiteral(".txt"));
            ASSERT_TRUE(QFile::copy(song, base + QStringLiteral(".mp3")));
        }
    }

    QString folder() const { return temp.path() + QStringLiteral("/L/"); }

    // Files of different lengths, so a cut-off copy of one never equals another.
    QByteArray oldLyrics(int i) const { return oldBytes + QByteArray(i * 37, 'x') + "\r\n"; }

    void resetLyrics() {
        for (int i = 0; i < fileCount; ++i) {
            ASSERT_TRUE(writeBytes(files.at(i), oldLyrics(i)));
        }
    }

    void start(QProcess& process) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), temp.path());
        environment.insert(QStringLiteral("HOME"), temp.path());
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral(TAVORIN_CLI_PATH),
                      {QStringLiteral("-n"), QStringLiteral("--name=A"), folder()});
        ASSERT_TRUE(process.waitForStarted());
    }

    QStringList temporaryFiles() const {
        return QDir(folder()).entryList({QStringLiteral(".tavorin-*")}, QDir::Files | QDir::Hidden);
    }

    QTemporaryDir temp;
    QStringList files;
    const QByteArray oldBytes = "[00:01:00]a\r\n[00:02:00]b\r\n";
};

TEST_F(KillTest, EveryFileIsOldOrNewAfterAKillAtAnyMoment) {
    resetLyrics();
    QElapsedTimer clock;
    clock.start();
    {
        QProcess process;
        start(process);
        ASSERT_TRUE(process.waitForFinished(120000));
        ASSERT_EQ(process.exitCode(), 0);
    }
    const qint64 runMs = std::max<qint64>(clock.elapsed(), 20);
    std::vector<QByteArray> expected;
    for (int i = 0; i < fileCount; ++i) {
        expected.push_back(readBytes(files.at(i)));
        ASSERT_NE(expected.back(), oldLyrics(i)) << "the run rewrites every file";
    }

    int killedMidRun = 0;
    int partlyDone = 0;
    int staleTemporaries = 0;
    for (int k = 0; k < killPoints(); ++k) {
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
            const QByteArray bytes = readBytes(files.at(i));
            ASSERT_TRUE(bytes == oldLyrics(i) || bytes == expected[i])
                << "kill " << k << ", file " << i << ": " << bytes.toStdString();
            written += bytes == expected[i] ? 1 : 0;
        }
        partlyDone += written > 0 && written < fileCount ? 1 : 0;
        // Only the one file being replaced at the kill can have left a temporary file.
        ASSERT_LE(temporaryFiles().size(), 1);
        staleTemporaries += static_cast<int>(temporaryFiles().size());
        if (!temporaryFiles().isEmpty()) {
            // The next run clears it.
            QProcess next;
            start(next);
            ASSERT_TRUE(next.waitForFinished(120000));
            EXPECT_EQ(temporaryFiles(), QStringList());
        }
    }
    // The kills really landed inside runs, and between files.
    EXPECT_GT(killedMidRun, 0);
    EXPECT_GT(partlyDone, 0);
    std::cout << "[ kills ] " << killPoints() << " kill points, " << killedMidRun
              << " killed a running process, " << partlyDone << " in the middle of the list, "
              << staleTemporaries << " left a temporary file (cleared by the next run)\n";
}

} // namespace
} // namespace tavorin
#endif
