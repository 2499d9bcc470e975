#include "cli/cli_options.h"

#include "cli/lyrics_file_walk.h"
#include "shell/file_name_bytes.h"
#include "shell/path_utils.h"
#include "tavorin/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace tavorin {

namespace {

struct BooleanFlag {
    const char* on;
    const char* off;
    bool WizardSettings::*field;
    const char* onHelp;
    const char* offHelp;
};

// Each pair sets one Boolean of the Wizard Settings for this run only.
constexpr BooleanFlag booleanFlags[] = {
    {"same-folder-first", "no-same-folder-first", &WizardSettings::atFirstSameFolder,
     "Look beside the lyrics file before the Song Folder (AtFirstSameFolder=True).",
     "Look in the Song Folder first (AtFirstSameFolder=False)."},
    {"prefer-rmp", "prefer-mp3", &WizardSettings::rmp,
     "Take a same-named .rmp before the .mp3 (RMP=True).",
     "Take a same-named .mp3 before the .rmp (RMP=False)."},
    {"karaoke", "no-karaoke", &WizardSettings::karaoke, "Repair Tag Reversals (Karaoke=True).",
     "Leave Tag Reversals alone (Karaoke=False)."},
    {"at-artist", "no-at-artist", &WizardSettings::atArtist,
     "Take title, artist and album from the song (AtArtist=True).",
     "Keep the lyrics file's title, artist and album (AtArtist=False)."},
    {"silence", "no-silence", &WizardSettings::silencemSec,
     "Correct for the song's leading silence (SilencemSec=True).",
     "Do not shift for leading silence (SilencemSec=False)."},
    {"ignore-at-tag", "no-ignore-at-tag", &WizardSettings::ignoreAtTag,
     "New-Tag Mode: skip files that already carry timing At-Tags (IgnoreAtTag=True).",
     "New-Tag Mode: replace their timing At-Tags (IgnoreAtTag=False)."},
    {"ignore-own", "no-ignore-own", &WizardSettings::ignoreOwn,
     "Correction Mode: skip files already fitted under your name (IgnoreOwn=True).",
     "Correction Mode: correct them again (IgnoreOwn=False)."},
};

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

std::optional<bool> parseTimeType(const QString& value) {
    if (value.compare(u"winamp", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (value.compare(u"standard", Qt::CaseInsensitive) == 0) {
        return false;
    }
    return std::nullopt;
}

CliParse usageError(const QString& message) {
    CliParse result;
    result.errors = QStringLiteral("tavorin-cli: ") + message + QLatin1Char('\n') +
                    QStringLiteral("Try 'tavorin-cli --help' for more information.\n");
    result.exitCode = exitUsage;
    return result;
}

} // namespace

QStringList commandLineArguments(int argc, const char* const* argv, QSet<QString>& unreadable) {
    // Qt would decode each argument with replacement characters, losing the bytes.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArrayView bytes(argv[i]);
        if (isReadableName(bytes)) {
            arguments.append(QString::fromUtf8(bytes));
        } else {
            arguments.append(escapedName(bytes));
            unreadable.insert(arguments.constLast());
        }
    }
    return arguments;
}

CliParse parseCommandLine(const QStringList& arguments, const WizardSettings& saved,
                          const QSet<QString>& unreadableArguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Corrects (--correct) or adds (--new) the At-Tags and Time Tags of karaoke lyrics\n"
        "files against your own song files and prints the Run Log. Options start from the\n"
        "wizard's saved settings; each flag changes one of them for this run only."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption newOption({QStringLiteral("n"), QStringLiteral("new")},
                                       QStringLiteral("New-Tag Mode (NewMode=True)."));
    const QCommandLineOption correctOption({QStringLiteral("c"), QStringLiteral("correct")},
                                           QStringLiteral("Correction Mode (NewMode=False)."));
    const QCommandLineOption nameOption(QStringLiteral("name"),
                                        QStringLiteral("Your name, written as @TaggingBy or "
                                                       "@EditedBy (Name)."),
                                        QStringLiteral("NAME"));
    const QCommandLineOption timeOption(
        QStringLiteral("time"),
        QStringLiteral("New-Tag Mode: the time type the tags were made in; Correction Mode: "
                       "the time type to convert to (WinampTime)."),
        QStringLiteral("winamp|standard"));
    const QCommandLineOption defaultTimeOption(
        QStringLiteral("default-time"),
        QStringLiteral("The time type assumed for lyrics without At-Tags (DefaultTime)."),
        QStringLiteral("winamp|standard"));
    const QCommandLineOption songFolderOption(
        QStringLiteral("song-folder"),
        QStringLiteral("Also search this folder and its subfolders for songs; \"\" for none "
                       "(SongFolder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption dryRunOption(
        QStringLiteral("dry-run"),
        QStringLiteral("Do everything but write: the Run Log is the same, no file changes."));
    parser.addOptions(
        {newOption, correctOption, nameOption, timeOption, defaultTimeOption, songFolderOption});
    for (const BooleanFlag& flag : booleanFlags) {
        parser.addOption(QCommandLineOption(latin(flag.on), latin(flag.onHelp)));
        parser.addOption(QCommandLineOption(latin(flag.off), latin(flag.offHelp)));
    }
    parser.addOption(dryRunOption);
    const QCommandLineOption noJournalOption(
        QStringLiteral("no-journal"),
        QStringLiteral("Keep no copy of the files this run replaces: it cannot be undone."));
    const QCommandLineOption undoOption(
        QStringLiteral("undo"),
        QStringLiteral("Put back every file a run replaced, unless changed since (PATH: the "
                       "run's name from --list-runs; none: the latest run)."));
    const QCommandLineOption listRunsOption(
        QStringLiteral("list-runs"),
        QStringLiteral("List the runs that can be undone: name, start, mode, files, undone."));
    const QCommandLineOption reportOption(
        QStringLiteral("report"),
        QStringLiteral("Also write a JSON report of the run (settings, times, each file's "
                       "outcome and measurements) to FILE, also after an abort."),
        QStringLiteral("FILE"));
    const QCommandLineOption diffOption(
        QStringLiteral("diff"),
        QStringLiteral("Print a unified diff of every file changed (with --dry-run: that would "
                       "change) on standard output; the Run Log goes to standard error."));
    parser.addOptions({noJournalOption, undoOption, listRunsOption, reportOption, diffOption});
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("Lyrics files (.txt, .lrc, .kra) or folders "
                                                "holding them."),
                                 QStringLiteral("PATH..."));

    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        CliParse result;
        result.output = parser.helpText();
        return result;
    }
    if (parser.isSet(versionOption)) {
        CliParse result;
        result.output =
            QStringLiteral("tavorin-cli ") + QLatin1String(programVersion) + QLatin1Char('\n');
        return result;
    }

    // Whether an option's value came from an argument that is not UTF-8, given on its own
    // or as --option=value.
    const auto unreadableValue = [&](const QCommandLineOption& option) {
        const QString value = parser.value(option);
        return unreadableArguments.contains(value) ||
               unreadableArguments.contains(QStringLiteral("--") + option.names().constLast() +
                                            QLatin1Char('=') + value);
    };

    CliRequest request;
    QStringList warnings;
    request.settings = saved;
    request.dryRun = parser.isSet(dryRunOption);
    request.journal = !parser.isSet(noJournalOption);
    request.diff = parser.isSet(diffOption);
    if (parser.isSet(reportOption)) {
        if (parser.value(reportOption).isEmpty() ||
            unreadableArguments.contains(parser.value(reportOption))) {
            return usageError(QStringLiteral("--report takes a file name in UTF-8."));
        }
        request.reportPath = absoluteCliPath(parser.value(reportOption));
    }
    if (parser.isSet(undoOption) || parser.isSet(listRunsOption)) {
        const bool undo = parser.isSet(undoOption);
        const QStringList given = parser.positionalArguments();
        if ((undo && parser.isSet(listRunsOption)) || given.size() > (undo ? 1 : 0)) {
            return usageError(QStringLiteral("--undo takes at most one run, --list-runs none."));
        }
        request.action = undo ? CliAction::Undo : CliAction::ListRuns;
        request.undoRunId = given.value(0);
        CliParse result;
        result.request = request;
        return result;
    }
    // Switches apply in the order given, so a later one overrides an earlier one.
    for (const QString& given : parser.optionNames()) {
        if (given == u"n" || given == u"new") {
            request.settings.newMode = true;
        } else if (given == u"c" || given == u"correct") {
            request.settings.newMode = false;
        }
        for (const BooleanFlag& flag : booleanFlags) {
            if (given == latin(flag.on) || given == latin(flag.off)) {
                request.settings.*flag.field = given == latin(flag.on);
            }
        }
    }
    if (parser.isSet(nameOption)) {
        request.settings.name = parser.value(nameOption);
        // The escaped bytes would be written into every file as the user's name.
        if (unreadableValue(nameOption)) {
            return usageError(QStringLiteral("--name takes UTF-8 text, not '") +
                              request.settings.name + QStringLiteral("'."));
        }
    }
    for (const auto& [option, field] :
         {std::pair{&timeOption, &WizardSettings::winampTime},
          std::pair{&defaultTimeOption, &WizardSettings::defaultTime}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const std::optional<bool> winamp = parseTimeType(parser.value(*option));
        if (!winamp) {
            return usageError(QStringLiteral("--") + option->names().constFirst() +
                              QStringLiteral(" takes winamp or standard, not '") +
                              parser.value(*option) + QStringLiteral("'."));
        }
        request.settings.*field = *winamp;
    }
    if (parser.isSet(songFolderOption)) {
        const QString folder = parser.value(songFolderOption);
        request.settings.songFolder =
            folder.isEmpty() ? QString() : withTrailingSeparator(absoluteCliPath(folder));
        if (unreadableValue(songFolderOption)) {
            warnings.append(QStringLiteral("曲フォルダの名前が UTF-8 ではないので開けません: ") +
                            request.settings.songFolder);
            request.settings.songFolder.clear();
        } else if (!folder.isEmpty() && !QFileInfo(request.settings.songFolder).isDir()) {
            warnings.append(QStringLiteral("曲フォルダが見つかりません: ") +
                            request.settings.songFolder);
        }
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty()) {
        return usageError(QStringLiteral("no PATH given."));
    }
    CliParse result;
    result.warnings = warnings;
    const CollectedLyricsFiles collected = collectLyricsFiles(paths, unreadableArguments);
    request.lyricsFiles = collected.files;
    result.warnings += collected.warnings;
    result.passedOver = collected.passedOver;
    // Nothing left to run because every lyrics file given was passed over for its name: that
    // is a file that could not be read, each one reported, not a usage error.
    if (request.lyricsFiles.isEmpty() && result.passedOver > 0) {
        result.exitCode = exitFileFailed;
        return result;
    }
    // The wizard's two checks, in the order of its pages, before anything runs.
    if (request.lyricsFiles.isEmpty()) {
        result.errors = QStringLiteral("歌詞ファイルが登録されていません。\n");
        result.exitCode = exitUsage;
        return result;
    }
    if (request.settings.name.isEmpty()) {
        result.errors = QStringLiteral("名前は必ず入力してください。\n");
        result.exitCode = exitUsage;
        return result;
    }
    result.request = request;
    return result;
}

} // namespace tavorin
