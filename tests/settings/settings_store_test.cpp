#include "run/run_test_support.h"
#include "settings/settings_store.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using namespace Qt::StringLiterals;

// Settings an earlier version left: each key reaches its own field, whatever the spelling of
// its Boolean, and is saved under its own name in the stored form. A Boolean of no known
// spelling keeps the field's default.
TEST(SettingsStoreTest, EachKeyLoadsIntoItsFieldAndIsSavedUnderItsName) {
    QSettings earlier(TAVORIN_TEST_DATA_DIR "/settings/earlier.ini"_L1, QSettings::IniFormat);
    const WizardSettings loaded = SettingsStore(earlier).load();
    EXPECT_EQ(testing::settingsFields(loaded),
              std::tuple(false, u"山田 = \"1\""_s, u"/音楽/"_s, false, false, true, false, true,
                         false, false, false, false));
    QTemporaryDir temp;
    QSettings saved(temp.filePath(u"saved.ini"_s), QSettings::IniFormat);
    SettingsStore(saved).save(loaded);
    EXPECT_EQ(testing::readBytes(saved.fileName()),
              testing::readBytes(TAVORIN_TEST_DATA_DIR "/settings/saved.ini"_L1));
    for (const char* unknown : {"yes", "", "nan", "1e999"}) {
        EXPECT_EQ(parseStoredBoolean(QString::fromLatin1(unknown)), std::nullopt) << unknown;
    }
}

} // namespace
} // namespace tavorin
