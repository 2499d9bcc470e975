#include "settings/settings_store.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

// Every stored field, so that one comparison shows any field that went astray.
auto fields(const WizardSettings& s) {
    return std::tuple(s.newMode, s.name.toStdString(), s.songFolder.toStdString(), s.winampTime,
                      s.atFirstSameFolder, s.rmp, s.karaoke, s.atArtist, s.silencemSec,
                      s.defaultTime, s.ignoreAtTag, s.ignoreOwn);
}

TEST_F(SettingsStoreTest, NothingStoredGivesTheDefaults) {
    QSettings ini(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(fields(SettingsStore(ini).load()),
              std::tuple(true, std::string(), std::string(), true, true, false, true, false, true,
                         true, true, true));
}

TEST_F(SettingsStoreTest, SavedSettingsComeBackAndAreStoredAsTrueFalseText) {
    // Every field the opposite of its default.
    WizardSettings saved;
    saved.newMode = saved.winampTime = saved.atFirstSameFolder = saved.karaoke = false;
    saved.silencemSec = saved.defaultTime = saved.ignoreAtTag = saved.ignoreOwn = false;
    saved.rmp = saved.atArtist = true;
    saved.name = QStringLiteral("山田, \"Taro\" = 1");
    saved.songFolder = QStringLiteral("/home/u/音楽/");
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        SettingsStore(ini).save(saved);
    }
    QSettings ini(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(fields(SettingsStore(ini).load()), fields(saved));

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

} // namespace
} // namespace tavorin
