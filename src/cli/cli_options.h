#pragma once

#include "settings/wizard_settings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tavorin {

// What tavorin-cli was asked to do.
struct CliRequest {
    WizardSettings settings; // the saved settings with this run's flags applied
    QStringList lyricsFiles; // absolute, in list order
    bool dryRun = false;
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
};

// arguments include the program name first. saved: the Wizard Settings from the user's store.
CliParse parseCommandLine(const QStringList& arguments, const WizardSettings& saved);

// The path made absolute against the current folder, without resolving links.
QString absoluteCliPath(const QString& path);

// The lyrics files the paths name: a folder adds every lyrics file below it. Paths that are no
// lyrics files are reported in warnings. The result follows the lyrics file list's rules.
QStringList collectLyricsFiles(const QStringList& paths, QStringList& warnings);

} // namespace tavorin
