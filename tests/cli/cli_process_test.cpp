#include "run/golden_scenarios.h"
#include "support/cli_process.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// Options start from the saved settings (Name, NewMode) and never change them.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeBytes(ini, saved)); }
    void TearDown() override {
        EXPECT_EQ(readBytes(ini), saved);
        std::filesystem::remove_all(QFile::encodeName(root).toStdString());
    }
    // Through a shell, whose printf turns the octal escapes of escaped into any bytes.
    auto run(const QStringList& arguments, const char* escaped = "") {
        QProcess cli;
        const QString script = uR"(exec "$@" $(printf '%1'))"_s.arg(QString::fromUtf8(escaped));
        const bool ended =
            startCli(cli, QStringList{"-c"_L1, script, "sh"_L1, TAVORIN_CLI_PATH ""_L1} + arguments,
                     config.path(), root, "/bin/sh"_L1) &&
            cli.waitForFinished(60000) && cli.exitStatus() == QProcess::NormalExit;
        return std::tuple(ended ? cli.exitCode() : -2,
                          QString::fromUtf8(cli.readAllStandardOutput()),
                          QString::fromUtf8(cli.readAllStandardError()));
    }

    QTemporaryDir temp, config;
    const QString root = temp.path(), ini = config.path() + "/Quendel/Quendel.ini"_L1;
    const QByteArray saved = "[Init]\nNewMode=true\nName=A\n";
    const QByteArray song = readBytes(runDataDir() + "/songs/nosilence.mp3"_L1);
};

TEST_F(CliTest, WholeRunsGiveTheGoldenRunLogAndBytes) {
    for (const GoldenScenario& scenario : goldenScenarios()) {
        SCOPED_TRACE(scenario.name.toStdString());
        ASSERT_TRUE(QDir(root).removeRecursively() && prepareScenario(scenario, root));
        const WizardSettings& s = scenario.settings;
        const auto [exitCode, out, err] =
            run(texts("--time=winamp|--default-time=winamp|--same-folder-first|--karaoke|--silence|"
                      "--ignore-at-tag|--ignore-own|--name=テスター|--song-folder=songs|lyrics") +
                QStringList{s.newMode ? "--new"_L1 : "--correct"_L1,
                            s.rmp ? "--prefer-rmp"_L1 : "--prefer-mp3"_L1,
                            s.atArtist ? "--at-artist"_L1 : "--no-at-artist"_L1});
        const QString expected = scenario.folder + "/expected"_L1;
        EXPECT_EQ(
            QString(out).replace(root, "<ROOT>"_L1),
            QString::fromUtf8(readBytes(expected + "/run_log.txt"_L1)).replace("\r\n"_L1, "\n"_L1));
        EXPECT_EQ(exitCode, s.newMode ? 0 : 1) << err.toStdString(); // one file is unreadable
        for (const QString& file : filesBelow(expected + "/lyrics"_L1)) {
            EXPECT_EQ(readBytes(root + "/lyrics/"_L1 + file),
                      readBytes(expected + "/lyrics/"_L1 + file));
        }
    }
}

// Names from old Windows archives keep their Shift-JIS bytes: each lyrics file, song and folder
// passed over for its name is named on standard error by its escaped bytes, and a lyrics file
// passed over makes the run end with 1. A dry run writes nothing.
TEST_F(CliTest, FilesWhoseNamesAreNotUtf8AreReportedByTheirBytes) {
    const std::string base = QFile::encodeName(root).toStdString() + '/';
    for (const char* path : {"L/a\xff"
                             "b.txt",
                             "L/a\xff"
                             "b.mp3",
                             "G/x.txt", "G/x.mp3", "H/\xe6\xad\x8c.txt", "H/\x89\xcc.mp3",
                             "M/\x89\xcc.mp3", "M/\xff/y.mp3"}) {
        std::filesystem::create_directories(std::filesystem::path(base + path).parent_path());
        std::ofstream(base + path)
            << (std::string_view(path).ends_with(".mp3") ? song.toStdString() : "[00:01:00]a\r\n");
    }
    const struct {
        const char* arguments;
        const char* escaped; // the last arguments, through the shell's printf
        int exitCode;
        const char* err; // lines, each there once; <ROOT> is the test's folder
    } cases[] = {
        {"--song-folder=M|L|G|H", "", 1,
         "ファイル名が UTF-8 ではないので読めません: <ROOT>/L/a\\xffb.txt\n"
         "ファイル名が UTF-8 ではないので曲として探せません: <ROOT>/H/\\x89\\xcc.mp3\n"
         "ファイル名が UTF-8 ではないので曲として探せません: <ROOT>/M/\\x89\\xcc.mp3\n"
         "フォルダ名が UTF-8 ではないので曲を探せません: <ROOT>/M/\\xff/"},
        {"", "L/a\\377b.txt", 1, "名前が UTF-8 ではないので開けません: <ROOT>/L/a\\xffb.txt"},
        {"G|--song-folder", "M\\377", 0,
         "曲フォルダの名前が UTF-8 ではないので開けません: <ROOT>/M\\xff/"},
        {"G|--name", "\\211\\314", 2, "--name takes UTF-8 text, not '\\x89\\xcc'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + ' ' + c.escaped);
        const auto [exitCode, out, err] =
            run(QStringList("--dry-run"_L1) + (*c.arguments ? texts(c.arguments) : QStringList()),
                c.escaped);
        EXPECT_EQ(exitCode, c.exitCode) << err.toStdString();
        EXPECT_EQ(out.contains("G/x.mp3\n"_L1),
                  c.exitCode != 2 &&
                      std::string_view(c.arguments).find('G') != std::string_view::npos);
        for (const QString& line :
             QString::fromUtf8(c.err).replace("<ROOT>"_L1, root).split(u'\n')) {
            EXPECT_EQ(err.count("tavorin-cli: "_L1 + line + u'\n'), 1) << err.toStdString();
        }
        EXPECT_FALSE(err.contains(u"歌詞ファイルが登録されていません。"_s));
    }
    EXPECT_EQ(readBytes(root + "/G/x.txt"_L1), "[00:01:00]a\r\n");
}

// Ctrl+C (SIGINT, twice) ends the run between files: every file is old or new, none partial.
TEST_F(CliTest, CtrlCEndsTheRunBetweenFilesAndLeavesEveryFileOldOrNew) {
    const QByteArray before = "[00:02:00]a[00:01:00]b\r\n[00:03:00]c\r\n";
    const QByteArray after = "[00:01:00]a[00:01:00]b\r\n[00:03:00]c\r\n\r\n"
                             "@TimeRatio=0.9953125\r\n@SilencemSec=0\r\n@TaggingBy=A\r\n";
    for (int i = 1000; i < 1400; ++i) {
        const QString base = root + "/L/"_L1 + QString::number(i);
        ASSERT_TRUE(writeBytes(base + ".txt"_L1, before) && writeBytes(base + ".mp3"_L1, song));
    }
    QProcess cli;
    ASSERT_TRUE(startCli(cli, texts("L"), config.path(), root));
    QByteArray out;
    while (out.count("正常に処理しました。") < 3 && cli.waitForReadyRead(30000)) {
        out += cli.readAllStandardOutput();
    }
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(60000));
    const QString log = QString::fromUtf8(out + cli.readAllStandardOutput());
    EXPECT_EQ(cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -2, 130);
    EXPECT_TRUE(log.endsWith(u"正常に処理しました。\n\n処理中断\n"_s))
        << log.right(200).toStdString();
    int rewritten = 0;
    for (const QString& file : filesBelow(root + "/L"_L1).filter(".txt"_L1)) {
        const QByteArray bytes = readBytes(root + "/L/"_L1 + file);
        ASSERT_TRUE(bytes == before || bytes == after) << file.toStdString();
        rewritten += bytes == after ? 1 : 0;
    }
    EXPECT_EQ(rewritten, log.count(u"正常に処理しました。"_s));
    EXPECT_LT(rewritten, 400);
    EXPECT_EQ(filesBelow(root + "/L"_L1).size(), 800); // no temporary file left
}

} // namespace
} // namespace tavorin
