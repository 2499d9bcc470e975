#pragma once

#include "run/run_host.h"
#include "settings/wizard_settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QString>
#include <QStringList>

#include <ostream>
#include <tuple>
#include <utility>
#include <vector>

namespace tavorin::testing {

using namespace Qt::Literals::StringLiterals;

// A front end that keeps everything a run tells it, and asks for an abort once its log holds
// abortAfter.
class RecordingHost : public RunHost {
public:
    void appendLog(const QString& text) override { log += text; }
    void setProgress(int value, int maximum) override { progress.emplace_back(value, maximum); }
    void processEvents() override {}
    bool abortRequested() override { return !abortAfter.isEmpty() && log.contains(abortAfter); }
    void showStatus(const QString&) override {}

    QString log;
    std::vector<std::pair<int, int>> progress;
    QString abortAfter;
};

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every field of the Wizard Settings, so that one comparison shows any field that went astray.
inline auto settingsFields(const WizardSettings& s) {
    return std::tuple(s.newMode, s.name, s.songFolder, s.winampTime, s.atFirstSameFolder, s.rmp,
                      s.karaoke, s.atArtist, s.silencemSec, s.defaultTime, s.ignoreAtTag,
                      s.ignoreOwn);
}

// The switch of the Wizard Settings of that field name; none for any other name.
inline bool WizardSettings::*settingSwitch(const QString& name) {
    return QHash<QString, bool WizardSettings::*>{{u"newMode"_s, &WizardSettings::newMode},
                                                  {u"rmp"_s, &WizardSettings::rmp},
                                                  {u"atArtist"_s, &WizardSettings::atArtist},
                                                  {u"karaoke"_s, &WizardSettings::karaoke},
                                                  {u"silencemSec"_s, &WizardSettings::silencemSec},
                                                  {u"ignoreAtTag"_s, &WizardSettings::ignoreAtTag},
                                                  {u"ignoreOwn"_s, &WizardSettings::ignoreOwn}}
        .value(name);
}

// A list of texts written as one, separated by '|' (an empty text stays).
inline QStringList texts(const char* joined) {
    return QString::fromUtf8(joined).split(u'|');
}

} // namespace tavorin::testing

// Readable failures: QString printed as UTF-8 text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
