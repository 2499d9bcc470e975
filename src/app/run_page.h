#pragma once

#include <QFrame>
#include <QString>

class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tavorin {

// Page 5 of 5: the Run Log, the progress bar and the start / abort / end button.
class RunPage : public QFrame {
    Q_OBJECT
public:
    explicit RunPage(QWidget* parent = nullptr);

    // Ready for a run over fileCount files: empty Run Log, progress 0 of fileCount, "開始".
    void prepare(int fileCount);
    // Appends at the end of the Run Log; the text already shown is never set again, so a run
    // over thousands of files stays fast.
    void appendLog(const QString& text);
    // The whole Run Log, lines ending with CR LF.
    const QString& runLog() const { return log; }
    void copyLog() const;

    QPlainTextEdit* txtLog;
    QProgressBar* pb;
    QPushButton* com4Copy;
    QPushButton* com4to3;
    QPushButton* com4;

private:
    QString log;
};

} // namespace tavorin
