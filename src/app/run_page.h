#pragma once

#include "app/wizard_page.h"

#include <QString>

#include <optional>
#include <utility>

class QAction;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tavorin {

// Page 5 of 5: the Run Log, the progress bar and the start / abort / end button.
class RunPage : public WizardPage {
    Q_OBJECT
public:
    // Before, during and after the run; com4 starts, aborts or ends accordingly, and once a run
    // has finished there is no way back.
    enum class RunState { Ready, Running, Finished };

    explicit RunPage(QWidget* parent = nullptr);

    // Ready for a run over fileCount files: empty Run Log, progress 0 of fileCount, "開始".
    void prepare(int fileCount);
    RunState runState() const { return state; }
    // The caption of com4 and which buttons take clicks follow the state.
    void setRunState(RunState newState);
    // Appends at the end of the Run Log; the text already shown is never set again, so a run
    // over thousands of files stays fast. The text box takes the new text at most every
    // 50 ms, when pending events run, rather than repainting for every line.
    void appendLog(const QString& text);
    // The progress "i / n", shown with the Run Log's new text: every new value is new text to
    // lay out and paint, which would cost a run of small files more than the files do.
    void setProgress(int value, int maximum);
    // Shows what the text box and the progress do not show yet (at the end of a run).
    void showPendingLog();
    // The whole Run Log, lines ending with CR LF.
    const QString& runLog() const { return log; }
    void copyLog() const;

    QPlainTextEdit* txtLog;
    QProgressBar* pb;
    QPushButton* com4Copy;
    QPushButton* com4Undo; // puts back the files of the run just made
    QAction* saveReport;   // in the Run Log's context menu, after a run
    QPushButton* com4to3;
    QPushButton* com4;

signals:
    // com4 pressed as "開始", "中断" or "終了".
    void startRequested();
    void abortRequested();
    void endRequested();
    void undoRequested();
    void saveReportRequested();

private:
    void pressCom4();

    RunState state = RunState::Ready;
    QString log;
    QString pendingLog; // appended, not yet in the text box
    std::optional<std::pair<int, int>> pendingProgress; // value and maximum not yet shown
    QTimer* logTimer;
};

} // namespace tavorin
