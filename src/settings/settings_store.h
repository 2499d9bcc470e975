#pragma once

#include "settings/wizard_settings.h"

#include <QSettings>
#include <QString>
#include <QStringView>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace tavorin {

// Loads and saves the Wizard Settings in group "Init" of a settings store, twelve keys in the
// order of the record. Booleans are written "True"/"False".
class SettingsStore {
public:
    explicit SettingsStore(QSettings& store);

    WizardSettings load();
    void save(const WizardSettings& wizardSettings);

private:
    QSettings& settings;
};

// The user's own store: an INI file in the user's config folder, organisation and application
// "Quendel".
std::unique_ptr<QSettings> openUserSettings();

// The settings under the keys of the settings file, in the order of the record: Booleans as
// bool, texts as QString (for a report of what a run used).
QVariantMap settingsByKey(const WizardSettings& wizardSettings);

// A stored Boolean: "True"/"False" in any letter case, or a number (0 is false, anything else
// true). Nothing for any other text.
std::optional<bool> parseStoredBoolean(QStringView text);

} // namespace tavorin
