#include "settings/settings_store.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }
    QString iniPath() const {
        return temp.filePath(QStringLiteral("Quendel%1.ini").arg(fileNumber));
    }
    // A new file each time: QSettings keeps what it read of a file as long as the file's size
    // and time stamp look unchanged.
    void writeIni(const QByteArray& text) {
        ++fileNumber;
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QTemporaryDir temp;
    int fileNumber = 0;
};

TEST_F(SettingsStoreTest, NothingStoredGivesTheDefaults) {
    QSettings ini(iniPath(), QSettings::IniFormat);
    const WizardSettings loaded = SettingsStore(ini).load();
    const WizardSettings defaults;
    EXPECT_TRUE(loaded.newMode);
    EXPECT_TRUE(loaded.name.isEmpty());
    EXPECT_TRUE(loaded.songFolder.isEmpty());
    EXPECT_EQ(loaded.winampTime, defaults.winampTime);
    EXPECT_TRUE(loaded.atFirstSameFolder);
    EXPECT_FALSE(loaded.rmp);
    EXPECT_TRUE(loaded.karaoke);
    EXPECT_FALSE(loaded.atArtist);
    EXPECT_TRUE(loaded.silencemSec);
    EXPECT_TRUE(loaded.defaultTime);
    EXPECT_TRUE(loaded.ignoreAtTag);
    EXPECT_TRUE(loaded.ignoreOwn);
}

TEST_F(SettingsStoreTest, SavedSettingsComeBackAndAreStoredAsTrueFalseText) {
    WizardSettings saved;
    saved.newMode = false;
    saved.name = QStringLiteral("山田, \"Taro\" = 1");
    saved.songFolder = QStringLiteral("/home/u/音楽/");
    saved.winampTime = false;
    saved.atFirstSameFolder = false;
    saved.rmp = true;
    saved.karaoke = false;
    saved.atArtist = true;
    saved.silencemSec = false;
    saved.defaultTime = false;
    saved.ignoreAtTag = false;
    saved.ignoreOwn = false;
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        SettingsStore(ini).save(saved);
    }
    QSettings ini(iniPath(), QSettings::IniFormat);
    const WizardSettings loaded = SettingsStore(ini).load();
    EXPECT_EQ(loaded.newMode, saved.newMode);
    EXPECT_EQ(loaded.name, saved.name);
    EXPECT_EQ(loaded.songFolder, saved.songFolder);
    EXPECT_EQ(loaded.winampTime, saved.winampTime);
    EXPECT_EQ(loaded.atFirstSameFolder, saved.atFirstSameFolder);
    EXPECT_EQ(loaded.rmp, saved.rmp);
    EXPECT_EQ(loaded.karaoke, saved.karaoke);
    EXPECT_EQ(loaded.atArtist, saved.atArtist);
    EXPECT_EQ(loaded.silencemSec, saved.silencemSec);
    EXPECT_EQ(loaded.defaultTime, saved.defaultTime);
    EXPECT_EQ(loaded.ignoreAtTag, saved.ignoreAtTag);
    EXPECT_EQ(loaded.ignoreOwn, saved.ignoreOwn);

    ini.beginGroup(QStringLiteral("Init"));
    EXPECT_EQ(ini.value(QStringLiteral("NewMode")).toString(), QStringLiteral("False"));
    EXPECT_EQ(ini.value(QStringLiteral("RMP")).toString(), QStringLiteral("True"));
    EXPECT_EQ(ini.childKeys().size(), 12);
}

TEST_F(SettingsStoreTest, StoredBooleansInAnyCaseOrAsNumbers) {
    const struct {
        const char* stored;
        bool loaded; // the field's default is true
    } cases[] = {
        {"True", true},   {"true", true},   {"TRUE", true},   {"False", false},
        {"false", false}, {"FALSE", false}, {"fAlSe", false}, {"0", false},
        {"1", true},      {"-1", true},     {"2", true},      {"0.0", false},
        {" 0 ", false},   {"yes", true},    {"", true},       {"nan", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        writeIni(QByteArray("[Init]\nKaraoke=") + c.stored + "\nRMP=" + c.stored + "\n");
        QSettings ini(iniPath(), QSettings::IniFormat);
        const WizardSettings loaded = SettingsStore(ini).load();
        EXPECT_EQ(loaded.karaoke, c.loaded);
        // RMP defaults to false: unknown text keeps that default.
        const QByteArray stored(c.stored);
        const bool unknown = stored == "yes" || stored.isEmpty() || stored == "nan";
        EXPECT_EQ(loaded.rmp, unknown ? false : c.loaded);
    }
}

TEST_F(SettingsStoreTest, TheUserStoreLivesUnderQuendel) {
    QStandardPaths::setTestModeEnabled(true);  // never the user's own settings
    const auto user = openUserSettings();
    EXPECT_EQ(user->format(), QSettings::IniFormat);
    EXPECT_EQ(user->organizationName(), QStringLiteral("Quendel"));
    EXPECT_EQ(user->applicationName(), QStringLiteral("Quendel"));
}

} // namespace
} // namespace tavorin
