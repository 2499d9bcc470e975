#include "settings/settings_store.h"

#include <cmath>

namespace tavorin {

namespace {

const QString groupName = QStringLiteral("Init");

bool readBoolean(QSettings& settings, const QString& key, bool defaultValue) {
    const QVariant stored = settings.value(key);
    if (!stored.isValid()) {
        return defaultValue;
    }
    return parseStoredBoolean(stored.toString()).value_or(defaultValue);
}

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

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
    const WizardSettings defaults;
    WizardSettings loaded;
    settings.beginGroup(groupName);
    loaded.newMode = readBoolean(settings, QStringLiteral("NewMode"), defaults.newMode);
    loaded.name = settings.value(QStringLiteral("Name"), defaults.name).toString();
    loaded.songFolder =
        settings.value(QStringLiteral("SongFolder"), defaults.songFolder).toString();
    loaded.winampTime = readBoolean(settings, QStringLiteral("WinampTime"), defaults.winampTime);
    loaded.atFirstSameFolder =
        readBoolean(settings, QStringLiteral("AtFirstSameFolder"), defaults.atFirstSameFolder);
    loaded.rmp = readBoolean(settings, QStringLiteral("RMP"), defaults.rmp);
    loaded.karaoke = readBoolean(settings, QStringLiteral("Karaoke"), defaults.karaoke);
    loaded.atArtist = readBoolean(settings, QStringLiteral("AtArtist"), defaults.atArtist);
    loaded.silencemSec = readBoolean(settings, QStringLiteral("SilencemSec"), defaults.silencemSec);
    loaded.defaultTime = readBoolean(settings, QStringLiteral("DefaultTime"), defaults.defaultTime);
    loaded.ignoreAtTag = readBoolean(settings, QStringLiteral("IgnoreAtTag"), defaults.ignoreAtTag);
    loaded.ignoreOwn = readBoolean(settings, QStringLiteral("IgnoreOwn"), defaults.ignoreOwn);
    settings.endGroup();
    return loaded;
}

void SettingsStore::save(const WizardSettings& wizardSettings) {
    settings.beginGroup(groupName);
    settings.setValue(QStringLiteral("NewMode"), booleanText(wizardSettings.newMode));
    settings.setValue(QStringLiteral("Name"), wizardSettings.name);
    settings.setValue(QStringLiteral("SongFolder"), wizardSettings.songFolder);
    settings.setValue(QStringLiteral("WinampTime"), booleanText(wizardSettings.winampTime));
    settings.setValue(QStringLiteral("AtFirstSameFolder"),
                      booleanText(wizardSettings.atFirstSameFolder));
    settings.setValue(QStringLiteral("RMP"), booleanText(wizardSettings.rmp));
    settings.setValue(QStringLiteral("Karaoke"), booleanText(wizardSettings.karaoke));
    settings.setValue(QStringLiteral("AtArtist"), booleanText(wizardSettings.atArtist));
    settings.setValue(QStringLiteral("SilencemSec"), booleanText(wizardSettings.silencemSec));
    settings.setValue(QStringLiteral("DefaultTime"), booleanText(wizardSettings.defaultTime));
    settings.setValue(QStringLiteral("IgnoreAtTag"), booleanText(wizardSettings.ignoreAtTag));
    settings.setValue(QStringLiteral("IgnoreOwn"), booleanText(wizardSettings.ignoreOwn));
    settings.endGroup();
    settings.sync();
}

std::unique_ptr<QSettings> openUserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Quendel"), QStringLiteral("Quendel"));
}

} // namespace tavorin
