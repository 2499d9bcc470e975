#pragma once

#include "settings/wizard_settings.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavorin {

enum class CliAction {
    Run,
    Undo,     // put back the files of a journaled run
    ListRuns, // print the journal's runs
};

// What tavorin-cli was asked to do.
struct CliRequest {
    WizardSettings settings; // the saved settings with this run's flags applied
    QStringList lyricsFiles; // absolute, in list order
    bool dryRun = false;
    CliAction action = CliAction::Run;
    QString undoRunId; // empty: the latest run
    bool journal = true;
    QString reportPath; // empty: no report
    bool diff = false;  // a unified diff on standard output, the Run Log on standard error
};

inline constexpr int exitDone = 0;
inline constexpr int exitFileFailed = 1;
inline constexpr int exitUsage = 2;
inline constexpr int exitAborted = 130;

// Either a run to make, or an answer to print and an exit status (help, version, a usage
// error, an empty name, no lyrics files).
struct CliParse {
    std::optional<CliRequest> request;
    QString output;       // for standard output
    QString errors;       // for standard error
    QStringList warnings; // for standard error, also when a run follows
    int exitCode = exitDone;
    // Lyrics files and folders passed over because their names are not UTF-8 (each one is in
    // warnings): a run that follows ends with exitFileFailed.
    int passedOver = 0;
};

// The command line as text, program name first. An argument that is not UTF-8 (a Shift-JIS
// file name from an old archive) has no text that names its file: it stands here as its
// escaped bytes and is also put into unreadable, so the parse reports it instead of opening a
// name no file has.
QStringList commandLineArguments(int argc, const char* const* argv, QSet<QString>& unreadable);

// arguments include the program name first. saved: the Wizard Settings from the user's store.
// unreadableArguments: the arguments that stand for bytes that are not UTF-8.
CliParse parseCommandLine(const QStringList& arguments, const WizardSettings& saved,
                          const QSet<QString>& unreadableArguments = {});

} // namespace tavorin
