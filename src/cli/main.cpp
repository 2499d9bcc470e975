// tavorin-cli: one batch run over lyrics files without a window.
#include "cli/cli_options.h"
#include "cli/terminal_host.h"
#include "run/run_counts_text.h"
#include "journal/journal_undo.h"
#include "journal/run_journal.h"
#include "report/run_report.h"
#include "report/unified_diff.h"
#include "run/run_driver.h"
#include "settings/settings_store.h"
#include "song/taglib_playback_engine.h"
#include "tavorin/version.h"

#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

std::atomic<bool> abortRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Ctrl+C asks for an abort between two files, however often it is pressed: the file in hand
// is always finished and written whole.
extern "C" void requestAbort(int) {
    abortRequested.store(true);
}

void installAbortHandler() {
    struct sigaction action {};
    action.sa_handler = requestAbort;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[]) {
    installAbortHandler();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavorin-cli"));
    QCoreApplication::setApplicationVersion(QLatin1String(tavorin::programVersion));

    tavorin::WizardSettings saved;
    {
        const auto userSettings = tavorin::openUserSettings();
        saved = tavorin::SettingsStore(*userSettings).load();
    }
    QSet<QString> unreadableArguments;
    const QStringList arguments = tavorin::commandLineArguments(argc, argv, unreadableArguments);
    const tavorin::CliParse parsed =
        tavorin::parseCommandLine(arguments, saved, unreadableArguments);
    for (const QString& warning : parsed.warnings) {
        print(stderr, QStringLiteral("tavorin-cli: ") + warning + QLatin1Char('\n'));
    }
    print(stdout, parsed.output);
    print(stderr, parsed.errors);
    if (!parsed.request) {
        return parsed.exitCode;
    }

    const tavorin::CliRequest& request = *parsed.request;
    // With --diff, standard output carries the diff alone.
    tavorin::TerminalHost host(request.diff ? stderr : stdout, stderr, isTerminal(stderr),
                               abortRequested);
    if (request.action == tavorin::CliAction::ListRuns) {
        print(stdout,
              tavorin::journalRunsText(tavorin::listJournalRuns(tavorin::defaultJournalFolder())));
        return tavorin::exitDone;
    }
    if (request.action == tavorin::CliAction::Undo) {
        const tavorin::UndoOutcome undone =
            tavorin::undoRun(tavorin::defaultJournalFolder(), request.undoRunId, host);
        host.finishProgress();
        return undone == tavorin::UndoOutcome::NoSuchRun  ? tavorin::exitUsage
               : undone == tavorin::UndoOutcome::SomeLeft ? tavorin::exitFileFailed
                                                          : tavorin::exitDone;
    }

    tavorin::TaglibPlaybackEngine engine;
    engine.init();
    tavorin::RunJournal journal(tavorin::defaultJournalFolder(), request.settings.newMode);
    tavorin::RunDriver driver(host, engine,
                              request.journal ? journal.writer() : tavorin::LyricsWriter());
    std::optional<tavorin::RunReport> report;
    if (!request.reportPath.isEmpty()) {
        report.emplace(request.settings, request.dryRun,
                       [&engine](const QString& song) { return engine.lengthmSec(song); });
    }
    if (report || request.diff) {
        driver.recordFiles(
            [&](const tavorin::LyricsFileRecord& record) {
                if (report) {
                    report->addFile(record);
                }
                if (request.diff && record.outcome == tavorin::FileOutcome::Written) {
                    print(stdout,
                          tavorin::unifiedDiff(record.lyricsPath, record.oldText, record.newText));
                }
            },
            request.diff);
    }
    const tavorin::RunSummary summary =
        driver.run(request.lyricsFiles, request.settings, request.dryRun);
    host.finishProgress();
    // How the run went, without reading the whole Run Log; the Run Log itself stays as it is.
    // Lyrics files passed over for their names could not be read: they count as failed, as in
    // the exit code.
    tavorin::RunSummary counted = summary;
    counted.outcomeCounts[static_cast<int>(tavorin::FileOutcome::ReadFailed)] += parsed.passedOver;
    print(stderr,
          QStringLiteral("tavorin-cli: ") + tavorin::runCountsText(counted) + QLatin1Char('\n'));
    int reportFailures = 0;
    if (report) {
        report->finish(summary, journal.runId());
        const tavorin::WriteResult written = report->write(request.reportPath);
        if (written.outcome != tavorin::WriteOutcome::Written) {
            print(stderr, QStringLiteral("tavorin-cli: --report: 書き込めません: ") +
                              request.reportPath + QStringLiteral("（") + written.systemMessage +
                              QStringLiteral("）\n"));
            reportFailures = 1;
        }
    }

    if (request.dryRun) {
        print(stderr,
              QStringLiteral("tavorin-cli: --dry-run: どのファイルにも書き込んでいません。\n"));
    }
    if (summary.aborted) {
        return tavorin::exitAborted;
    }
    const int failures = summary.failures() + parsed.passedOver + reportFailures;
    return failures > 0 ? tavorin::exitFileFailed : tavorin::exitDone;
}
