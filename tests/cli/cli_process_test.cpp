#include "run/golden_scenarios.h"
#include "run/run_test_support.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#include <vector>

namespace tavorin {
namespace {

using namespace tavorin::testing;

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Command-line arguments written as one text, separated by '|' (an empty argument stays).
QStringList args(const char* text) {
    return QString::fromUtf8(text).split(u'|');
}

// Every option a run depends on, as given on the command line, so a case never depends on
// what the settings store holds.
QStringList allDefaults() {
    return args("--time=winamp|--default-time=winamp|--same-folder-first|--prefer-mp3|"
                "--karaoke|--no-at-artist|--silence|--ignore-at-tag|--ignore-own");
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        ASSERT_TRUE(config.isValid());
    }
    QString root() const { return temp.path(); }

    void startCli(QProcess& process, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The user's own settings are never read: the store lives in a folder of the test.
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("HOME"), config.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(root());
        process.start(QStringLiteral(TAVORIN_CLI_PATH), arguments);
        ASSERT_TRUE(process.waitForStarted());
    }

    CliResult runCli(const QStringList& arguments) {
        QProcess process;
        startCli(process, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        CliResult result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    void placeSong(const char* target, const char* song) {
        const QString path = root() + u'/' + QString::fromUtf8(target);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        ASSERT_TRUE(
            QFile::copy(runDataDir() + QStringLiteral("/songs/") + QString::fromUtf8(song), path));
    }

    QTemporaryDir temp;
    QTemporaryDir config;
};

TEST_F(CliTest, EachOptionChangesItsSettingForTheRun) {
    const struct {
        const char* what;
        const char* flags; // separated by '|'
        const char* lyrics;
        const char* expected; // in the rewritten file, or in the Run Log
    } cases[] = {
        {"New-Tag Mode, Winamp Time", "-n", "[00:01:00]a\n",
         "[00:01:00]a\r\n\r\n@TimeRatio=0.9953125\r\n@SilencemSec=235\r\n@TaggingBy=A\r\n"},
        {"Standard Time", "--new|--time|standard", "[00:01:00]a\n",
         "@TimeRatio=1\r\n@SilencemSec=235\r\n"},
        {"Song Folder first", "-n|--no-same-folder-first", "a\n", "@SilencemSec=0\r\n"},
        {"no Song Folder", "-n|--no-same-folder-first|--song-folder=", "a\n",
         "@SilencemSec=235\r\n"},
        {"timing At-Tags skipped", "-n", "a\n@TimeRatio=1\n", "すでに＠タグがあるので無視します。"},
        {"timing At-Tags replaced", "-n|--no-ignore-at-tag", "a\n@TimeRatio=1\n",
         "a\r\n\r\n@TimeRatio=0.9953125\r\n"},
        {"song texts", "-n|--at-artist", "a\n", "@TaggingBy=A\r\n@Title=Intro\r\n"},
        {"RMP preferred", "-n|--prefer-rmp", "a\n", "/x.rmp\n"},
        {"MP3 preferred", "-n|--prefer-mp3", "a\n", "/x.mp3\n"},
        {"Tag Reversal repaired", "-n|--karaoke", "[00:02:00]a[00:01:00]b\n",
         "[00:01:00]a[00:01:00]b\r\n"},
        {"Tag Reversal kept", "-n|--no-karaoke", "[00:02:00]a[00:01:00]b\n",
         "[00:02:00]a[00:01:00]b\r\n"},
        {"Correction Mode with silence shift", "-c",
         "[00:01:00]a\n@TimeRatio=0.9953125\n@SilencemSec=0\n", "[00:01:23]a\r\n"},
        {"Correction Mode without silence shift", "--correct|--no-silence",
         "[00:01:00]a\n@TimeRatio=0.9953125\n@SilencemSec=0\n", "[00:01:00]a\r\n"},
        {"no At-Tags taken as Standard Time", "-c|--no-silence|--default-time=standard",
         "[00:01:00]a\n", "[00:00:99]a\r\n"},
        {"the later switch wins", "-c|--no-karaoke|-n|--karaoke", "[00:02:00]a[00:01:00]b\n",
         "[00:01:00]a[00:01:00]b\r\n\r\n@TimeRatio=0.9953125\r\n"},
        {"own file skipped", "-c", "a\n@TaggingBy=A\n", "すでにあなたの名前で合わせてあります"},
        {"own file corrected", "-c|--no-ignore-own", "a\n@TaggingBy=A\n",
         "@TaggingBy=A\r\n@EditedBy=A\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(root()).removeRecursively());
        ASSERT_TRUE(writeBytes(root() + QStringLiteral("/L/x.txt"), QByteArray(c.lyrics)));
        placeSong("L/x.mp3", "silence250.mp3");
        placeSong("L/x.rmp", "silence300.rmp");
        placeSong("M/x.mp3", "nosilence.mp3");
        // First in a walk of the working folder: an empty --song-folder that searched there
        // would measure this song instead of the one beside the lyrics file.
        placeSong("A/x.mp3", "silence500.mp3");
        const CliResult result = runCli(allDefaults() + args("--name|A|--song-folder|M") +
                                        args(c.flags) + args("L/x.txt"));
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QString rewritten = QString::fromUtf8(readBytes(root() + QStringLiteral("/L/x.txt")));
        const QString expected = QString::fromUtf8(c.expected);
        EXPECT_TRUE(rewritten.contains(expected) || result.out.contains(expected))
            << result.out.toStdString() << rewritten.toStdString();
    }
}

TEST_F(CliTest, HelpVersionAndUsageErrors) {
    ASSERT_TRUE(writeBytes(root() + QStringLiteral("/a.txt"), "[00:01:00]a\r\n"));
    placeSong("a.mp3", "nosilence.mp3");
    const struct {
        const char* arguments; // separated by '|'
        int exitCode;
        const char* out;
        const char* err;
    } cases[] = {
        {"--help", 0, "--no-same-folder-first", ""},
        {"--version", 0, "tavorin-cli 0.", ""},
        {"--bogus|a.txt", 2, "", "bogus"},
        {"--name|A", 2, "", "PATH"},
        {"--name|A|--time|fast|a.txt", 2, "", "fast"},
        {"--name|A|a.txt|--time", 2, "", "time"},
        {"--name||a.txt", 2, "", "名前は必ず入力してください。"},
        {"a.txt", 2, "", "名前は必ず入力してください。"},
        {"--name|A|a.mp3|missing.doc", 2, "", "歌詞ファイルが登録されていません。"},
        {"--name|A|a.mp3|a.txt|--dry-run", 0, "処理終了", "a.mp3"},
        {"--name|A|--song-folder|nowhere|a.txt|--dry-run", 0, "処理終了",
         "曲フォルダが見つかりません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CliResult result = runCli(args(c.arguments));
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        EXPECT_TRUE(result.out.contains(QString::fromUtf8(c.out))) << result.out.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.err))) << result.err.toStdString();
        if (c.exitCode != 0) {
            EXPECT_TRUE(result.out.isEmpty());
        }
        EXPECT_EQ(readBytes(root() + QStringLiteral("/a.txt")), QByteArray("[00:01:00]a\r\n"));
    }
}

TEST_F(CliTest, OptionsStartFromTheSavedSettings) {
    ASSERT_TRUE(writeBytes(config.path() + QStringLiteral("/Quendel/Quendel.ini"),
                           "[Init]\nNewMode=false\nName=Saved\nWinampTime=0\n"));
    ASSERT_TRUE(writeBytes(root() + QStringLiteral("/a.txt"), "[00:01:00]a\r\n@TimeRatio=1\r\n"));
    placeSong("a.mp3", "nosilence.mp3");
    const CliResult result = runCli({QStringLiteral("a.txt")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("補正開始\n\n")));
    EXPECT_EQ(readBytes(root() + QStringLiteral("/a.txt")),
              QByteArray("[00:01:00]a\r\n\r\n@TimeRatio=1\r\n@SilencemSec=0\r\n@TaggingBy=\r\n"
                         "@EditedBy=Saved\r\n"));
    // The command line never saves the settings it was given.
    runCli({QStringLiteral("--name=Other"), QStringLiteral("-n"), QStringLiteral("a.txt")});
    EXPECT_EQ(readBytes(config.path() + QStringLiteral("/Quendel/Quendel.ini")),
              QByteArray("[Init]\nNewMode=false\nName=Saved\nWinampTime=0\n"));
}

// The same files and options give the same Run Log and bytes through tavorin-cli as through
// the run driver's host (the golden files were made through the host).
TEST_F(CliTest, WholeRunsMatchTheRunDriversGoldenFiles) {
    for (const GoldenScenario& scenario : goldenScenarios()) {
        SCOPED_TRACE(scenario.name);
        ASSERT_TRUE(QDir(root()).removeRecursively());
        ASSERT_TRUE(prepareScenario(scenario, root()));
        const CliResult result = runCli(
            allDefaults() + args("--name=テスター|--song-folder=songs|lyrics") +
            QStringList{scenario.newMode ? QStringLiteral("--new") : QStringLiteral("--correct"),
                        scenario.rmp ? QStringLiteral("--prefer-rmp")
                                     : QStringLiteral("--prefer-mp3"),
                        scenario.atArtist ? QStringLiteral("--at-artist")
                                          : QStringLiteral("--no-at-artist")});
        const QString expected = goldenDir(scenario) + QStringLiteral("/expected");
        const QString goldenLog =
            QString::fromUtf8(readBytes(expected + QStringLiteral("/run_log.txt")))
                .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(QString(result.out).replace(root(), QStringLiteral("<ROOT>")), goldenLog);
        // The correction scenario holds a file that cannot be read.
        EXPECT_EQ(result.exitCode, scenario.newMode ? 0 : 1) << result.err.toStdString();
        for (const QString& file : filesBelow(expected + QStringLiteral("/lyrics"))) {
            SCOPED_TRACE(file.toStdString());
            EXPECT_EQ(readBytes(root() + QStringLiteral("/lyrics/") + file),
                      readBytes(expected + QStringLiteral("/lyrics/") + file));
        }
    }
}

TEST_F(CliTest, ADryRunLeavesEveryByteAndLogsTheSame) {
    const GoldenScenario& scenario = goldenScenarios().front();
    ASSERT_TRUE(prepareScenario(scenario, root()));
    const QStringList files = filesBelow(root());
    std::vector<QByteArray> before;
    for (const QString& file : files) {
        before.push_back(readBytes(root() + u'/' + file));
    }
    const QStringList arguments = args("-n|--name=X|--song-folder=songs|lyrics");
    const CliResult dry = runCli(QStringList(arguments) << QStringLiteral("--dry-run"));
    EXPECT_EQ(dry.exitCode, 0);
    EXPECT_TRUE(dry.err.contains(QStringLiteral("--dry-run"))) << dry.err.toStdString();
    EXPECT_EQ(filesBelow(root()), files);
    for (qsizetype i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files.at(i).toStdString());
        EXPECT_EQ(readBytes(root() + u'/' + files.at(i)), before.at(i));
    }
    const CliResult real = runCli(arguments);
    EXPECT_EQ(real.out, dry.out);
    EXPECT_NE(readBytes(root() + QStringLiteral("/lyrics/01_line_cp932.txt")), before.front());
}

#ifdef Q_OS_UNIX
// Ctrl+C is SIGINT here.
TEST_F(CliTest, CtrlCEndsTheRunBetweenFilesAndLeavesEveryFileOldOrNew) {
    constexpr int fileCount = 400;
    const QByteArray original = "[00:02:00]a[00:01:00]b\r\n[00:03:00]c\r\n";
    const QString song = root() + QStringLiteral("/nosilence.mp3");
    ASSERT_TRUE(QFile::copy(runDataDir() + QStringLiteral("/songs/nosilence.mp3"), song));
    for (int i = 0; i < fileCount; ++i) {
        const QString base = root() + QStringLiteral("/L/%1").arg(i, 5, 10, QLatin1Char('0'));
        ASSERT_TRUE(writeBytes(base + QStringLiteral(".txt"), original));
        ASSERT_EQ(::link(QFile::encodeName(song).constData(),
                         QFile::encodeName(base + QStringLiteral(".mp3")).constData()),
                  0);
    }
    const QByteArray rewritten = "[00:01:00]a[00:01:00]b\r\n[00:03:00]c\r\n\r\n"
                                 "@TimeRatio=0.9953125\r\n@SilencemSec=0\r\n@TaggingBy=A\r\n";

    QProcess process;
    startCli(process, {QStringLiteral("-n"), QStringLiteral("--name=A"), QStringLiteral("L")});
    QByteArray out;
    while (out.count("正常に処理しました。") < 3 && process.waitForReadyRead(30000)) {
        out += process.readAllStandardOutput();
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT); // a second Ctrl+C changes nothing
    ASSERT_TRUE(process.waitForFinished(60000));
    out += process.readAllStandardOutput();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130);
    const QString log = QString::fromUtf8(out);
    EXPECT_TRUE(log.endsWith(QStringLiteral("正常に処理しました。\n\n処理中断\n")))
        << log.right(200).toStdString();

    int rewrittenCount = 0;
    for (const QString& file : filesBelow(root() + QStringLiteral("/L"))) {
        if (!file.endsWith(QStringLiteral(".txt"))) {
            continue;
        }
        const QByteArray bytes = readBytes(root() + QStringLiteral("/L/") + file);
        ASSERT_TRUE(bytes == original || bytes == rewritten) << file.toStdString();
        rewrittenCount += bytes == rewritten ? 1 : 0;
    }
    EXPECT_EQ(rewrittenCount, log.count(QStringLiteral("正常に処理しました。")));
    EXPECT_LT(rewrittenCount, fileCount);
    EXPECT_EQ(filesBelow(root() + QStringLiteral("/L")).size(), 2 * fileCount); // no leftovers
}

#endif

} // namespace
} // namespace tavorin
