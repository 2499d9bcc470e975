#include "settings/settings_store.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace tavorin {
namespace {

auto fields(const WizardSettings& s) {
    return std::tuple(s.newMode, s.name, s.songFolder, s.winampTime, s.atFirstSameFolder, s.rmp,
                      s.karaoke, s.atArtist, s.silencemSec, s.defaultTime, s.ignoreAtTag,
                      s.ignoreOwn);
}

// Each key, stored alone, reaches its own field and no other, and is written back under its
// own name in the stored form.
TEST(SettingsStoreTest, EachKeyLoadsIntoItsFieldAndIsSavedUnderItsName) {
    const struct {
        const char* key;
        const char* stored;
        std::function<void(WizardSettings&)> expect;
    } cases[] = {
        {"NewMode", "False", [](WizardSettings& s) { s.newMode = false; }},
        {"Name", "山田 = \"1\"",
         [](WizardSettings& s) { s.name = QStringLiteral("山田 = \"1\""); }},
        {"SongFolder", "/音楽/",
         [](WizardSettings& s) { s.songFolder = QStringLiteral("/音楽/"); }},
        {"WinampTime", "False", [](WizardSettings& s) { s.winampTime = false; }},
        {"AtFirstSameFolder", "False", [](WizardSettings& s) { s.atFirstSameFolder = false; }},
        {"RMP", "True", [](WizardSettings& s) { s.rmp = true; }},
        {"Karaoke", "False", [](WizardSettings& s) { s.karaoke = false; }},
        {"AtArtist", "True", [](WizardSettings& s) { s.atArtist = true; }},
        {"SilencemSec", "False", [](WizardSettings& s) { s.silencemSec = false; }},
        {"DefaultTime", "False", [](WizardSettings& s) { s.defaultTime = false; }},
        {"IgnoreAtTag", "False", [](WizardSettings& s) { s.ignoreAtTag = false; }},
        {"IgnoreOwn", "False", [](WizardSettings& s) { s.ignoreOwn = false; }},
    };
    QTemporaryDir temp;
    int fileNumber = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const QString key = QString::fromUtf8(c.key);
        const QString stored = QString::fromUtf8(c.stored);
        // A new file each time: QSettings trusts what it read of a file that looks unchanged.
        QSettings ini(temp.filePath(QString::number(++fileNumber)), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Init/") + key, stored);
        WizardSettings expected;
        c.expect(expected);
        EXPECT_EQ(fields(SettingsStore(ini).load()), fields(expected));

        ini.clear();
        SettingsStore(ini).save(expected);
        EXPECT_EQ(ini.value(QStringLiteral("Init/") + key).toString(), stored);
        EXPECT_EQ(ini.allKeys().size(), 12);
    }
}

TEST(SettingsStoreTest, StoredBooleansInAnyCaseOrAsNumbers) {
    const struct {
        const char* stored;
        std::optional<bool> parsed;
    } cases[] = {
        {"True", true}, {"true", true}, {"TRUE", true}, {"fAlSe", false}, {"FALSE", false},
        {"0", false},   {"1", true},    {"-1", true},   {"2", true},      {"0.0", false},
        {" 0 ", false}, {"yes", {}},    {"", {}},       {"nan", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseStoredBoolean(QString::fromUtf8(c.stored)), c.parsed) << c.stored;
    }
}

} // namespace
} // namespace tavorin
