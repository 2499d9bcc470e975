#include "cli/cli_options.h"
#include "run/golden_scenarios.h"
#include "support/cli_process.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// Every flag of the first row turns its own field and those of the second turn them back: a
// copied table row leaves one field unturned.
TEST(CliOptions, EveryFlagTurnsItsOwnFieldAndTheLaterSwitchWins) {
    const auto settings = [](bool on) {
        WizardSettings s;
        s.newMode = s.winampTime = s.defaultTime = s.atFirstSameFolder = s.karaoke = on;
        s.silencemSec = s.ignoreAtTag = s.ignoreOwn = on;
        s.rmp = s.atArtist = !on;
        s.name = on ? "B"_L1 : "A"_L1;
        s.songFolder = on ? QString() : "/songs/"_L1;
        return s;
    };
    // Each row: whether the saved settings are those turned on, then the flags that turn them.
    const std::pair<bool, const char*> cases[] = {
        {false, "-c|-n|--name|B|--time=Winamp|--default-time|winamp|--song-folder=|"
                "--same-folder-first|--prefer-mp3|--karaoke|--no-at-artist|--silence|"
                "--ignore-at-tag|--ignore-own|--no-ignore-own|--ignore-own"},
        {true, "-n|-c|--name=A|--time=standard|--default-time=Standard|--song-folder=/songs|"
               "--no-same-folder-first|--prefer-rmp|--no-karaoke|--at-artist|--no-silence|"
               "--no-ignore-at-tag|--no-ignore-own"},
    };
    for (const auto& [on, flags] : cases) {
        const CliParse parsed = parseCommandLine(
            QStringList("tavorin-cli"_L1) + texts(flags) + QStringList("/a.txt"_L1), settings(on));
        ASSERT_TRUE(parsed.request) << flags << parsed.errors.toStdString();
        EXPECT_EQ(settingsFields(parsed.request->settings), settingsFields(settings(!on))) << flags;
        EXPECT_EQ(parsed.request->lyricsFiles, QStringList("/a.txt"_L1));
    }
}

TEST(CliOptions, UsageErrorsRunNothing) {
    for (const auto& [arguments, text] :
         {std::pair("--name=A", "no PATH"),
          {"--name=A|--time=fast|/a.txt", "fast"},
          {"--name=|/a.txt", "名前は必ず入力してください。"},
          {"--name=A|/a.mp3", "歌詞ファイルが登録されていません。"},
          {"--undo|run1|run2", "--undo takes at most one run"},
          {"--undo|--list-runs", "--undo takes at most one run"},
          {"--list-runs|run1", "--list-runs none"}}) {
        const CliParse parsed =
            parseCommandLine(QStringList("tavorin-cli"_L1) + texts(arguments), {});
        EXPECT_FALSE(parsed.request) << arguments;
        EXPECT_EQ(parsed.exitCode, exitUsage) << arguments;
        EXPECT_TRUE(parsed.errors.contains(QString::fromUtf8(text))) << arguments;
    }
}

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
};

TEST_F(CliTest, WholeRunsGiveTheGoldenRunLogAndBytes) {
    for (const QString& scenario : goldenScenarios()) {
        SCOPED_TRACE(scenario.toStdString());
        const QStringList options = prepareScenario(scenario, root);
        ASSERT_FALSE(options.isEmpty());
        const auto [exitCode, out, err] = run(options + QStringList("lyrics"_L1));
        // One lyrics file of the correction scenario is unreadable.
        EXPECT_EQ(exitCode, scenario.endsWith("correction"_L1) ? 1 : 0) << err.toStdString();
        // The counts of the whole run, as the last line on standard error.
        EXPECT_TRUE(err.endsWith(scenario.endsWith("correction"_L1)
                                     ? u"書き込み 4、スキップ 1、曲なし 1、失敗 2\n"_s
                                     : u"書き込み 5、スキップ 1、曲なし 1、失敗 0\n"_s))
            << err.toStdString();
        const QString expected = scenario + "/expected/"_L1;
        EXPECT_EQ(QString(out).replace(root, "<ROOT>"_L1).replace(u'\n', "\r\n"_L1),
                  QString::fromUtf8(readBytes(expected + "run_log.txt"_L1)));
        for (const QString& file : filesBelow(scenario + "/input"_L1)) {
            EXPECT_EQ(readBytes(root + u'/' + file), readBytes(expected + file))
                << file.toStdString();
        }
    }
}

// A folder stands for the visible lyrics files below it, links to folders not followed. Names
// from old Windows archives keep their Shift-JIS bytes: each lyrics file, song and folder passed
// over for its name is named on standard error by its escaped bytes, and a lyrics file passed
// over makes the run end with 1. A dry run writes nothing.
TEST_F(CliTest, FilesWhoseNamesAreNotUtf8AreReportedByTheirBytes) {
    const std::string base = QFile::encodeName(root).toStdString() + '/';
    const QByteArray song = readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/nosilence.mp3"_L1);
    for (const char* path :
         {"L/a\377b.txt", "L/a\377b.mp3", "G/x.txt", "G/x.mp3", "H/\346\255\214.txt",
          "H/\211\314.mp3", "M/\211\314.mp3", "M/\377/y.mp3", "W/.h/z.txt", "W/.z.txt",
          "W/.\377.txt", "W/x.doc", "W/\211\314/h.txt"}) {
        std::filesystem::create_directories(std::filesystem::path(base + path).parent_path());
        std::ofstream(base + path)
            << (std::string_view(path).ends_with(".mp3") ? song.toStdString() : "[00:01:00]a\r\n");
    }
    std::filesystem::create_directory_symlink(base + "W", base + "W/loop");
    std::filesystem::create_symlink(base + "G/x.txt", base + "W/y.txt");
    std::filesystem::create_symlink(base + "nowhere.txt", base + "W/gone.txt");
    // Each row: the arguments, the last ones through the shell's printf, the exit code, the lyrics
    // files run and the lines of standard error, each there once (<ROOT>: the test's folder).
    const std::tuple<const char*, const char*, int, int, const char*> cases[] = {
        {"--song-folder=M|L|G|H|W", "", 1, 3,
         "ファイル名が UTF-8 ではないので読めません: <ROOT>/L/a\\xffb.txt\n"
         "フォルダ名が UTF-8 ではないので開けません: <ROOT>/W/\\x89\\xcc\n"
         "ファイル名が UTF-8 ではないので曲として探せません: <ROOT>/H/\\x89\\xcc.mp3\n"
         "ファイル名が UTF-8 ではないので曲として探せません: <ROOT>/M/\\x89\\xcc.mp3\n"
         "フォルダ名が UTF-8 ではないので曲を探せません: <ROOT>/M/\\xff/\n"
         "書き込み 1、スキップ 0、曲なし 2、失敗 2"},
        {"--karaoke", "L/a\\377b.txt", 1, 0,
         "名前が UTF-8 ではないので開けません: <ROOT>/L/a\\xffb.txt"},
        {"G|--song-folder", "M\\377", 0, 1,
         "曲フォルダの名前が UTF-8 ではないので開けません: <ROOT>/M\\xff/\n"
         "書き込み 1、スキップ 0、曲なし 0、失敗 0"},
        {"G|--name", "\\211\\314", 2, 0, "--name takes UTF-8 text, not '\\x89\\xcc'."},
    };
    for (const auto& [arguments, escaped, code, files, errors] : cases) {
        SCOPED_TRACE(std::string(arguments) + ' ' + escaped);
        const auto [exitCode, out, err] =
            run(QStringList("--dry-run"_L1) + texts(arguments), escaped);
        EXPECT_EQ(exitCode, code) << err.toStdString();
        EXPECT_EQ(out.count(u"歌詞ファイル："_s), files) << out.toStdString();
        const QStringList lines = QString::fromUtf8(errors).replace("<ROOT>"_L1, root).split(u'\n');
        for (const QString& line : lines) {
            EXPECT_EQ(err.count("tavorin-cli: "_L1 + line + u'\n'), 1) << err.toStdString();
        }
        // Nothing else, but the dry run's own line (the counts are the run's last line).
        EXPECT_EQ(err.count("tavorin-cli: "_L1), lines.size() + (files > 0 ? 1 : 0));
    }
    EXPECT_EQ(readBytes(root + "/G/x.txt"_L1), "[00:01:00]a\r\n");
}

} // namespace
} // namespace tavorin
