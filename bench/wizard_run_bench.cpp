// W4: a Correction Mode run through the wizard itself, on the offscreen platform: the lyrics
// files go onto the list, the pages are walked with their buttons and "開始" is pressed. The
// options are those bench/run.sh gives tavorin-cli: Winamp Time, silence shift, Tag Reversal
// repair, the name "Bench", own files corrected again, songs beside the lyrics files only.
//
// Usage: wizard_run_bench LIST   (one lyrics file path a line)
// Prints one line: files=N run_ms=X run_cpu_ms=C max_event_gap_ms=Y log_chars=Z
// run_ms is the time from "開始" to "終了" (run_cpu_ms the processor time in it);
// max_event_gap_ms the longest time during the run in which the window handled no events (a
// 5 ms timer measures it).

#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/run_page.h"
#include "app/shell_services.h"
#include "song/taglib_playback_engine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// Nothing is asked of the desktop in a run; a message would mean the walk went wrong.
class QuietShell : public tavorin::ShellServices {
public:
    void showMessage(QWidget*, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askQuestion(QWidget*, const QString& text) override {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return false;
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    bool openUrl(const QUrl&) override { return true; }
};

QPushButton* button(const tavorin::FormMain& form, const char* name) {
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QFile list(arguments.size() == 2 ? arguments.at(1) : QString());
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "usage: wizard_run_bench LIST\n");
        return 2;
    }
    QStringList files;
    while (!list.atEnd()) {
        const QString line = QString::fromUtf8(list.readLine()).trimmed();
        if (!line.isEmpty()) {
            files.append(line);
        }
    }

    QTemporaryDir folder;
    QSettings store(folder.filePath(QStringLiteral("Quendel.ini")), QSettings::IniFormat);
    const std::pair<const char*, const char*> options[] = {
        {"NewMode", "False"},
        {"Name", "Bench"},
        {"SongFolder", ""},
        {"WinampTime", "True"},
        {"AtFirstSameFolder", "True"},
        {"RMP", "False"},
        {"Karaoke", "True"},
        {"AtArtist", "False"},
        {"SilencemSec", "True"},
        {"DefaultTime", "True"},
        {"IgnoreAtTag", "True"},
        {"IgnoreOwn", "False"},
    };
    for (const auto& [key, value] : options) {
        store.setValue(QStringLiteral("Init/") + QString::fromLatin1(key),
                       QString::fromLatin1(value));
    }
    store.sync();

    tavorin::TaglibPlaybackEngine engine;
    QuietShell shell;
    // No journal: the same work as tavorin-cli --no-journal beside it.
    tavorin::FormMain form(tavorin::WizardServices{engine, shell, store, folder.path(), QString()});
    form.show();
    button(form, "com0to1")->click();
    for (const QString& path : files) {
        form.lyricsFilesPage->list1->addPath(path);
    }
    button(form, "com1to2")->click();
    button(form, "com2to3")->click();
    button(form, "com3to4")->click();
    if (form.currentPage() != 4) {
        std::fprintf(stderr, "the Run page was not reached\n");
        return 1;
    }

    // A user sees the Run page before pressing "開始": it is painted once first, so that the
    // first paint (loading fonts, laying out the page) is not counted as part of the run.
    form.grab();
    QCoreApplication::processEvents();

    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    ticker.start();
    sinceTick.start();

    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    form.runPage->com4->click();
    const double runMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double runCpuMs = static_cast<double>(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    ticker.stop();

    const QString log = form.runPage->runLog();
    const qsizetype done = log.count(QStringLiteral("正常に処理しました。"));
    if (!log.endsWith(QStringLiteral("処理終了\r\n")) || done != files.size()) {
        std::fprintf(stderr, "the run did not finish every file (%lld of %lld)\n",
                     static_cast<long long>(done), static_cast<long long>(files.size()));
        return 1;
    }
    std::printf("files=%lld run_ms=%.3f run_cpu_ms=%.3f max_event_gap_ms=%.3f log_chars=%lld\n",
                static_cast<long long>(files.size()), runMs, runCpuMs,
                static_cast<double>(longestGapNs) / 1e6, static_cast<long long>(log.size()));
    return 0;
}
