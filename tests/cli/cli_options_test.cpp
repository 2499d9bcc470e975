#include "cli/cli_options.h"
#include "run/run_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tavorin {
namespace {

using namespace tavorin::testing;

// Each flag of the option table changes its own field of the saved settings, for this run.
TEST(CliOptions, EachFlagSetsItsFieldAndTheLaterSwitchWins) {
    QTemporaryDir temp;
    const QString lyrics = temp.filePath("a.txt"_L1);
    ASSERT_TRUE(writeBytes(lyrics, "a\r\n"));
    WizardSettings saved; // every field the opposite of its default
    saved.newMode = saved.winampTime = saved.defaultTime = saved.atFirstSameFolder = false;
    saved.karaoke = saved.silencemSec = saved.ignoreAtTag = saved.ignoreOwn = false;
    saved.rmp = saved.atArtist = true;
    saved.name = "Saved"_L1;
    saved.songFolder = temp.path() + u'/';
    const struct {
        const char* flags;
        std::function<void(WizardSettings&)> change;
    } cases[] = {
        {"", [](WizardSettings&) {}},
        {"-n", [](WizardSettings& s) { s.newMode = true; }},
        {"--new|--correct", [](WizardSettings&) {}},
        {"-n|-c", [](WizardSettings&) {}},
        {"--name|B", [](WizardSettings& s) { s.name = "B"_L1; }},
        {"--time=Winamp", [](WizardSettings& s) { s.winampTime = true; }},
        {"--default-time|winamp", [](WizardSettings& s) { s.defaultTime = true; }},
        {"--song-folder=", [](WizardSettings& s) { s.songFolder.clear(); }},
        {"--same-folder-first", [](WizardSettings& s) { s.atFirstSameFolder = true; }},
        {"--prefer-mp3", [](WizardSettings& s) { s.rmp = false; }},
        {"--karaoke", [](WizardSettings& s) { s.karaoke = true; }},
        {"--no-at-artist", [](WizardSettings& s) { s.atArtist = false; }},
        {"--silence", [](WizardSettings& s) { s.silencemSec = true; }},
        {"--ignore-at-tag", [](WizardSettings& s) { s.ignoreAtTag = true; }},
        {"--ignore-own|--no-ignore-own|--ignore-own",
         [](WizardSettings& s) { s.ignoreOwn = true; }},
        {"--no-karaoke|-c|--karaoke|--no-silence", [](WizardSettings& s) { s.karaoke = true; }},
    };
    for (const auto& c : cases) {
        WizardSettings expected = saved;
        c.change(expected);
        const QStringList flags = *c.flags ? texts(c.flags) : QStringList();
        const CliParse parsed =
            parseCommandLine(QStringList("tavorin-cli"_L1) + flags + QStringList(lyrics), saved);
        ASSERT_TRUE(parsed.request) << c.flags << parsed.errors.toStdString();
        EXPECT_EQ(settingsFields(parsed.request->settings), settingsFields(expected)) << c.flags;
        EXPECT_EQ(parsed.request->lyricsFiles, QStringList(lyrics));
    }
}

TEST(CliOptions, HelpVersionAndUsageErrorsRunNothing) {
    QTemporaryDir temp;
    ASSERT_TRUE(writeBytes(temp.filePath("a.txt"_L1), "a\r\n"));
    const QString a = temp.filePath("a.txt"_L1);
    const struct {
        QStringList arguments;
        int exitCode;
        const char* output;
        const char* errors;
    } cases[] = {
        {{"--help"_L1}, exitDone, "--no-same-folder-first", ""},
        {{"--version"_L1}, exitDone, "tavorin-cli 0.", ""},
        {{"--bogus"_L1, a}, exitUsage, "", "bogus"},
        {{"--name=A"_L1}, exitUsage, "", "no PATH"},
        {{"--name=A"_L1, "--time=fast"_L1, a}, exitUsage, "", "fast"},
        {{"--name=A"_L1, a, "--default-time"_L1}, exitUsage, "", "default-time"},
        {{"--name="_L1, a}, exitUsage, "", "名前は必ず入力してください。"},
        {{"--name=A"_L1, temp.filePath("a.mp3"_L1)},
         exitUsage,
         "",
         "歌詞ファイルが登録されていません。"},
    };
    for (const auto& c : cases) {
        const CliParse parsed = parseCommandLine(QStringList("tavorin-cli"_L1) + c.arguments, {});
        EXPECT_FALSE(parsed.request) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(parsed.exitCode, c.exitCode);
        EXPECT_TRUE(parsed.output.contains(QString::fromUtf8(c.output)));
        EXPECT_TRUE(parsed.errors.contains(QString::fromUtf8(c.errors)))
            << parsed.errors.toStdString();
    }
}

} // namespace
} // namespace tavorin
