#pragma once

#include "run/run_host.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace tavorin {

// One run as the journal lists it, oldest first.
struct JournalRun {
    QString id;
    QString folder;
    QDateTime started;
    bool newMode = false;
    int fileCount = 0;
    QDateTime undone; // invalid while the run stands
};

QList<JournalRun> listJournalRuns(const QString& journalFolder);

// The journal's list as tavorin-cli prints it, one run a line.
QString journalRunsText(const QList<JournalRun>& runs);

enum class UndoOutcome {
    Done,          // every file is as it was before the run
    AlreadyUndone, // undone before: nothing was touched
    NoSuchRun,
    SomeLeft, // some files were changed after the run or could not be restored
};

// Puts back every file the run replaced (runId empty: the latest run), newest replacement
// first, reporting each file on host's Run Log. A file whose bytes are no longer what the run
// wrote is somebody's later work and is left alone.
UndoOutcome undoRun(const QString& journalFolder, const QString& runId, RunHost& host);

} // namespace tavorin
