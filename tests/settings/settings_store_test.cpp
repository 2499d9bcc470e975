#include "settings/settings_store.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

// Every key stored with a value other than its default: each must reach its own field, and be
// written back under its own name in the stored form.
TEST(SettingsStoreTest, EachKeyLoadsIntoItsFieldAndIsSavedUnderItsName) {
    const std::pair<const char*, const char*> stored[] = {
        {"NewMode", "False"},     {"Name", "山田 = \"1\""},       {"SongFolder", "/音楽/"},
        {"WinampTime", "False"},  {"AtFirstSameFolder", "False"}, {"RMP", "True"},
        {"Karaoke", "False"},     {"AtArtist", "True"},           {"SilencemSec", "False"},
        {"DefaultTime", "False"}, {"IgnoreAtTag", "False"},       {"IgnoreOwn", "False"},
    };
    QTemporaryDir temp;
    QSettings ini(temp.filePath(QStringLiteral("1.ini")), QSettings::IniFormat);
    for (const auto& [key, value] : stored) {
        ini.setValue(QStringLiteral("Init/") + QString::fromUtf8(key), QString::fromUtf8(value));
    }
    const WizardSettings s = SettingsStore(ini).load();
    EXPECT_EQ(std::tuple(s.newMode, s.name, s.songFolder, s.winampTime, s.atFirstSameFolder, s.rmp,
                         s.karaoke, s.atArtist, s.silencemSec, s.defaultTime, s.ignoreAtTag,
                         s.ignoreOwn),
              std::tuple(false, QStringLiteral("山田 = \"1\""), QStringLiteral("/音楽/"), false,
                         false, true, false, true, false, false, false, false));
    QSettings saved(temp.filePath(QStringLiteral("2.ini")), QSettings::IniFormat);
    SettingsStore(saved).save(s);
    EXPECT_EQ(saved.allKeys().size(), 12);
    for (const auto& [key, value] : stored) {
        EXPECT_EQ(saved.value(QStringLiteral("Init/") + QString::fromUtf8(key)).toString(),
                  QString::fromUtf8(value));
    }
}

TEST(SettingsStoreTest, StoredBooleansInAnyCaseOrAsNumbers) {
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"True", true}, {"true", true}, {"TRUE", true}, {"fAlSe", false}, {"FALSE", false},
        {"0", false},   {"1", true},    {"-1", true},   {"2", true},      {"0.0", false},
        {" 0 ", false}, {"yes", {}},    {"", {}},       {"nan", {}},
    };
    for (const auto& [text, parsed] : cases) {
        EXPECT_EQ(parseStoredBoolean(QString::fromUtf8(text)), parsed) << text;
    }
}

} // namespace
} // namespace tavorin
