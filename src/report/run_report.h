#pragma once

#include "run/lyrics_file_record.h"
#include "run/lyrics_file_steps.h"
#include "settings/wizard_settings.h"
#include "shell/atomic_file_writer.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <optional>

namespace tavorin {

// How long a song plays, in ms; nothing when that cannot be told (PlaybackEngine::lengthmSec).
using SongLength = std::function<std::optional<std::int32_t>(const QString& songPath)>;

// The stable name of an outcome in a report: the outcome's name in snake_case.
QString fileOutcomeCode(FileOutcome outcome);

// The machine-readable account of one run: the settings, when it ran, how it ended and, per
// lyrics file, what was found and done. Collects the files' records as the run hands them on;
// the songs' lengths are asked for only when the report is made.
class RunReport {
public:
    RunReport(const WizardSettings& settings, bool dryRun, SongLength songLength);

    void addFile(const LyricsFileRecord& record);
    // The run has ended now. journalRun: the journal's name for the run, if it has one.
    void finish(const RunSummary& summary, const QString& journalRun = {});
    QByteArray toJson() const;
    WriteResult write(const QString& path) const;

private:
    QJsonObject fileJson(const LyricsFileRecord& record) const;

    QJsonObject settingsUsed;
    bool dryRun;
    SongLength songLength;
    QDateTime started;
    QDateTime ended;
    RunSummary summary;
    QString journalRun;
    QList<LyricsFileRecord> files;
};

} // namespace tavorin
