#include "run/golden_scenarios.h"
#include "support/cli_process.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

class CliTest : public ::testing::Test {
protected:
    // Some tests make names Qt cannot hold, so it could not remove them.
    void TearDown() override { std::filesystem::remove_all(QFile::encodeName(root).toStdString()); }
    CliResult run(const QStringList& arguments) { return runCli(arguments, config.path(), root); }

    QTemporaryDir temp;
    QTemporaryDir config;
    const QString root = temp.path();
};

// Through tavorin-cli the golden scenarios give the run driver's Run Log and bytes; a dry run
// before prints the same log and leaves every byte.
TEST_F(CliTest, WholeRunsMatchTheRunDriversGoldenFilesAndADryRunWritesNothing) {
    for (const GoldenScenario& scenario : goldenScenarios()) {
        SCOPED_TRACE(scenario.name.toStdString());
        ASSERT_TRUE(QDir(root).removeRecursively());
        ASSERT_TRUE(prepareScenario(scenario, root));
        const WizardSettings& s = scenario.settings;
        const QStringList arguments =
            texts("--time=winamp|--default-time=winamp|--same-folder-first|--karaoke|--silence|"
                  "--ignore-at-tag|--ignore-own|--name=テスター|--song-folder=songs|lyrics") +
            QStringList{s.newMode ? "--new"_L1 : "--correct"_L1,
                        s.rmp ? "--prefer-rmp"_L1 : "--prefer-mp3"_L1,
                        s.atArtist ? "--at-artist"_L1 : "--no-at-artist"_L1};
        const QString expected = scenario.folder + "/expected"_L1;
        const QString goldenLog =
            QString::fromUtf8(readBytes(expected + "/run_log.txt"_L1)).replace("\r\n"_L1, "\n"_L1);
        const QString lyrics = root + "/lyrics/"_L1;
        const QByteArray firstBefore = readBytes(lyrics + filesBelow(lyrics).first());

        const CliResult dry = run(arguments + QStringList("--dry-run"_L1));
        EXPECT_EQ(QString(dry.out).replace(root, "<ROOT>"_L1), goldenLog);
        EXPECT_TRUE(dry.err.contains("--dry-run"_L1)) << dry.err.toStdString();
        EXPECT_EQ(readBytes(lyrics + filesBelow(lyrics).first()), firstBefore);

        const CliResult result = run(arguments);
        EXPECT_EQ(QString(result.out).replace(root, "<ROOT>"_L1), goldenLog);
        // The correction scenario holds a file that cannot be read.
        EXPECT_EQ(result.exitCode, s.newMode ? 0 : 1) << result.err.toStdString();
        for (const QString& file : filesBelow(expected + "/lyrics"_L1)) {
            EXPECT_EQ(readBytes(lyrics + file), readBytes(expected + "/lyrics/"_L1 + file))
                << file.toStdString();
        }
    }
}

TEST_F(CliTest, OptionsStartFromTheSavedSettingsWhichTheCommandLineNeverChanges) {
    const QByteArray ini = "[Init]\nNewMode=false\nName=Saved\nWinampTime=0\n";
    ASSERT_TRUE(writeBytes(config.path() + "/Quendel/Quendel.ini"_L1, ini));
    ASSERT_TRUE(writeBytes(root + "/a.txt"_L1, "[00:01:00]a\r\n@TimeRatio=1\r\n"));
    ASSERT_TRUE(
        writeBytes(root + "/a.mp3"_L1, readBytes(runDataDir() + "/songs/nosilence.mp3"_L1)));
    const CliResult result = run({"a.txt"_L1});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith(u"補正開始\n\n"_s));
    EXPECT_EQ(readBytes(root + "/a.txt"_L1), "[00:01:00]a\r\n\r\n@TimeRatio=1\r\n@SilencemSec=0\r\n"
                                             "@TaggingBy=\r\n@EditedBy=Saved\r\n");
    run(texts("--name=Other|-n|a.txt"));
    EXPECT_EQ(readBytes(config.path() + "/Quendel/Quendel.ini"_L1), ini);
}

// Names copied from old Windows archives keep their Shift-JIS bytes, which are not UTF-8:
// every lyrics file, song and folder passed over for its name is named on standard error, its
// bytes escaped, and a lyrics file passed over makes the run end with 1. The Run Log stays
// what the wizard shows.
TEST_F(CliTest, FilesWhoseNamesAreNotUtf8AreReportedByTheirBytes) {
    const QByteArray lyrics = "[00:01:00]a\r\n";
    const auto create = [&](const QByteArray& path, const QByteArray& bytes) {
        const QByteArray full = QFile::encodeName(root) + '/' + path;
        std::filesystem::create_directories(full.left(full.lastIndexOf('/')).toStdString());
        const int file = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::write(file, bytes.constData(), static_cast<std::size_t>(bytes.size())),
                  bytes.size());
        ::close(file);
    };
    const QByteArray song = readBytes(runDataDir() + "/songs/nosilence.mp3"_L1);
    create("L/a\xff"
           "b.txt",
           lyrics);
    create("L/a\xff"
           "b.mp3",
           song);
    create("G/x.txt", lyrics);
    create("G/x.mp3", song);
    create("H/\xe6\xad\x8c.txt", lyrics); // 歌 in UTF-8, its song in Shift-JIS beside it
    create("H/\x89\xcc.mp3", song);
    create("M/\x89\xcc.mp3", song);
    create("M/\xff/y.mp3", song);

    const struct {
        const char* what;
        const char* arguments;    // separated by '|'
        const char* lastArgument; // through the shell's printf, which makes any bytes
        int exitCode;
        const char* out;
        const char* err; // lines on standard error, each there once; <ROOT> is the test's folder
    } cases[] = {
        {"a folder holding only such a lyrics file", "L", nullptr, 1, "",
         "ファイル名が UTF-8 ではないので読めません: <ROOT>/L/a\\xffb.txt"},
        {"such a lyrics file named", "", "L/a\\377b.txt", 1, "",
         "名前が UTF-8 ではないので開けません: <ROOT>/L/a\\xffb.txt"},
        {"beside a good one", "L|G", nullptr, 1, "G/x.mp3\n",
         "ファイル名が UTF-8 ではないので読めません: <ROOT>/L/a\\xffb.txt"},
        {"its song beside a lyrics file", "H", nullptr, 0, "見つかりませんでした。",
         "ファイル名が UTF-8 ではないので曲として探せません: <ROOT>/H/\\x89\\xcc.mp3"},
        {"a Song Folder named so", "G|--song-folder", "M\\377", 0, "G/x.mp3\n",
         "曲フォルダの名前が UTF-8 ではないので開けません: <ROOT>/M\\xff/"},
        {"a name that would be written into every file", "G|--name", "\\211\\314", 2, "",
         "--name takes UTF-8 text, not '\\x89\\xcc'."},
        {"in the Song Folder", "--song-folder=M|G", nullptr, 0, "G/x.mp3\n",
         "ファイル名が UTF-8 ではないので曲として探せません: <ROOT>/M/\\x89\\xcc.mp3\n"
         "フォルダ名が UTF-8 ではないので曲を探せません: <ROOT>/M/\\xff/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList arguments =
            texts("--time=winamp|--default-time=winamp|--same-folder-first|--prefer-mp3|"
                  "--karaoke|--no-at-artist|--silence|--ignore-at-tag|--ignore-own|--new|"
                  "--name=A|--dry-run");
        if (*c.arguments != '\0') {
            arguments += texts(c.arguments);
        }
        const CliResult result =
            c.lastArgument == nullptr
                ? run(arguments)
                : runCli(QStringList{"-c"_L1,
                                     QStringLiteral("exec \"$@\" \"$(printf '%1')\"")
                                         .arg(QString::fromUtf8(c.lastArgument)),
                                     "sh"_L1, QStringLiteral(TAVORIN_CLI_PATH)} +
                             arguments,
                         config.path(), root, "/bin/sh"_L1);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        EXPECT_TRUE(result.out.contains(QString::fromUtf8(c.out))) << result.out.toStdString();
        for (const QString& line :
             QString::fromUtf8(c.err).replace("<ROOT>"_L1, root).split(u'\n')) {
            EXPECT_EQ(result.err.count(QStringLiteral("tavorin-cli: ") + line + u'\n'), 1)
                << result.err.toStdString();
        }
        EXPECT_FALSE(result.err.contains(QStringLiteral("歌詞ファイルが登録されていません。")));
    }
}

// Ctrl+C (SIGINT) ends the run between files: every file is old or new, none half-written.
TEST_F(CliTest, CtrlCEndsTheRunBetweenFilesAndLeavesEveryFileOldOrNew) {
    constexpr int fileCount = 400;
    const QByteArray original = "[00:02:00]a[00:01:00]b\r\n[00:03:00]c\r\n";
    const QString song = root + "/nosilence.mp3"_L1;
    ASSERT_TRUE(writeBytes(song, readBytes(runDataDir() + "/songs/nosilence.mp3"_L1)));
    for (int i = 0; i < fileCount; ++i) {
        const QString base = root + "/L/"_L1 + QString::number(i).rightJustified(5, u'0');
        ASSERT_TRUE(writeBytes(base + ".txt"_L1, original));
        ASSERT_EQ(::link(QFile::encodeName(song).constData(),
                         QFile::encodeName(base + ".mp3"_L1).constData()),
                  0);
    }
    const QByteArray rewritten = "[00:01:00]a[00:01:00]b\r\n[00:03:00]c\r\n\r\n"
                                 "@TimeRatio=0.9953125\r\n@SilencemSec=0\r\n@TaggingBy=A\r\n";
    QProcess process;
    ASSERT_TRUE(startCli(process, texts("-n|--name=A|L"), config.path(), root));
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
    EXPECT_TRUE(log.endsWith(u"正常に処理しました。\n\n処理中断\n"_s))
        << log.right(200).toStdString();

    int rewrittenCount = 0;
    for (const QString& file : filesBelow(root + "/L"_L1).filter(".txt"_L1)) {
        const QByteArray bytes = readBytes(root + "/L/"_L1 + file);
        ASSERT_TRUE(bytes == original || bytes == rewritten) << file.toStdString();
        rewrittenCount += bytes == rewritten ? 1 : 0;
    }
    EXPECT_EQ(rewrittenCount, log.count(u"正常に処理しました。"_s));
    EXPECT_LT(rewrittenCount, fileCount);
    EXPECT_EQ(filesBelow(root + "/L"_L1).size(), 2 * fileCount); // no leftovers
}

} // namespace
} // namespace tavorin
