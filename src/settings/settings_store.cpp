#include "settings/settings_store.h"

#include <array>
#include <cmath>
#include <type_traits>
#include <variant>

namespace tavorin {

namespace {

const QString groupName = QStringLiteral("Init");

// One entry per field of the Wizard Settings, in the order they are read and written. Each key
// is the field's own name; the field's default is the record's.
struct SettingsKey {
    QLatin1StringView key;
    std::variant<bool WizardSettings::*, QString WizardSettings::*> field;
};

const std::array<SettingsKey, 12> settingsKeys{{
    {QLatin1StringView("NewMode"), &WizardSettings::newMode},
    {QLatin1StringView("Name"), &WizardSettings::name},
    {QLatin1StringView("SongFolder"), &WizardSettings::songFolder},
    {QLatin1StringView("WinampTime"), &WizardSettings::winampTime},
    {QLatin1StringView("AtFirstSameFolder"), &WizardSettings::atFirstSameFolder},
    {QLatin1StringView("RMP"), &WizardSettings::rmp},
    {QLatin1StringView("Karaoke"), &WizardSettings::karaoke},
    {QLatin1StringView("AtArtist"), &WizardSettings::atArtist},
    {QLatin1StringView("SilencemSec"), &WizardSettings::silencemSec},
    {QLatin1StringView("DefaultTime"), &WizardSettings::defaultTime},
    {QLatin1StringView("IgnoreAtTag"), &WizardSettings::ignoreAtTag},
    {QLatin1StringView("IgnoreOwn"), &WizardSettings::ignoreOwn},
}};

template <typename Field>
constexpr bool isBooleanField = std::is_same_v<Field, bool WizardSettings::*>;

} // namespace

std::optional<bool> parseStoredBoolean(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(u"true", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (trimmed.compare(u"false", Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    if (isNumber && std::isfinite(number)) {
        return number != 0.0;
    }
    return std::nullopt;
}

SettingsStore::SettingsStore(QSettings& store) : settings(store) {}

WizardSettings SettingsStore::load() {
    // An absent entry, or a Boolean in no form we know, keeps the field's default.
    WizardSettings loaded;
    settings.beginGroup(groupName);
    for (const SettingsKey& entry : settingsKeys) {
        const QVariant stored = settings.value(QString(entry.key));
        if (!stored.isValid()) {
            continue;
        }
        std::visit(
            [&](auto field) {
                if constexpr (isBooleanField<decltype(field)>) {
                    loaded.*field = parseStoredBoolean(stored.toString()).value_or(loaded.*field);
                } else {
                    loaded.*field = stored.toString();
                }
            },
            entry.field);
    }
    settings.endGroup();
    return loaded;
}

void SettingsStore::save(const WizardSettings& wizardSettings) {
    settings.beginGroup(groupName);
    for (const SettingsKey& entry : settingsKeys) {
        std::visit(
            [&](auto field) {
                if constexpr (isBooleanField<decltype(field)>) {
                    settings.setValue(QString(entry.key), wizardSettings.*field
                                                              ? QStringLiteral("True")
                                                              : QStringLiteral("False"));
                } else {
                    settings.setValue(QString(entry.key), wizardSettings.*field);
                }
            },
            entry.field);
    }
    settings.endGroup();
    settings.sync();
}

QVariantMap settingsByKey(const WizardSettings& wizardSettings) {
    QVariantMap values;
    for (const SettingsKey& entry : settingsKeys) {
        std::visit([&](auto field) { values.insert(QString(entry.key), wizardSettings.*field); },
                   entry.field);
    }
    return values;
}

std::unique_ptr<QSettings> openUserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Quendel"), QStringLiteral("Quendel"));
}

} // namespace tavorin
