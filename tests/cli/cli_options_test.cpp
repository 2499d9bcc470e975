#include "cli/cli_options.h"
#include "run/run_test_support.h"

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// Every flag of the first row turns its own field and those of the second turn them back: a
// copied table row leaves one field unturned.
TEST(CliOptions, EveryFlagTurnsItsOwnFieldAndTheLaterSwitchWins) {
    const auto settings = [](bool on, const QString& name, const QString& folder) {
        WizardSettings s;
        s.newMode = s.winampTime = s.defaultTime = s.atFirstSameFolder = s.karaoke = on;
        s.silencemSec = s.ignoreAtTag = s.ignoreOwn = on;
        s.rmp = s.atArtist = !on;
        s.name = name, s.songFolder = folder;
        return s;
    };
    const WizardSettings off = settings(false, "A"_L1, "/songs/"_L1);
    const WizardSettings on = settings(true, "B"_L1, {});
    const std::tuple<WizardSettings, const char*, WizardSettings> cases[] = {
        {off,
         "-c|-n|--name|B|--time=Winamp|--default-time|winamp|--song-folder=|--same-folder-first|"
         "--prefer-mp3|--karaoke|--no-at-artist|--silence|--ignore-at-tag|--ignore-own|"
         "--no-ignore-own|--ignore-own",
         on},
        {on,
         "-n|-c|--name=A|--time=standard|--default-time=Standard|--song-folder=/songs|"
         "--no-same-folder-first|--prefer-rmp|--no-karaoke|--at-artist|--no-silence|"
         "--no-ignore-at-tag|--no-ignore-own",
         off},
    };
    for (const auto& [saved, flags, expected] : cases) {
        const CliParse parsed = parseCommandLine(
            QStringList("tavorin-cli"_L1) + texts(flags) + QStringList("/a.txt"_L1), saved);
        ASSERT_TRUE(parsed.request) << flags << parsed.errors.toStdString();
        EXPECT_EQ(settingsFields(parsed.request->settings), settingsFields(expected)) << flags;
        EXPECT_EQ(parsed.request->lyricsFiles, QStringList("/a.txt"_L1));
    }
}

TEST(CliOptions, HelpVersionAndUsageErrorsRunNothing) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"--help", exitDone, "--no-same-folder-first"},
        {"--version", exitDone, "tavorin-cli "},
        {"--name=A", exitUsage, "no PATH"},
        {"--name=A|--time=fast|/a.txt", exitUsage, "fast"},
        {"--name=|/a.txt", exitUsage, "名前は必ず入力してください。"},
        {"--name=A|/a.mp3", exitUsage, "歌詞ファイルが登録されていません。"},
    };
    for (const auto& [arguments, exitCode, text] : cases) {
        const CliParse parsed =
            parseCommandLine(QStringList("tavorin-cli"_L1) + texts(arguments), {});
        EXPECT_FALSE(parsed.request) << arguments;
        EXPECT_EQ(parsed.exitCode, exitCode) << arguments;
        const QString& shown = exitCode == exitDone ? parsed.output : parsed.errors;
        EXPECT_TRUE(shown.contains(QString::fromUtf8(text))) << arguments;
    }
}

} // namespace
} // namespace tavorin
