#include "app/run_page.h"

#include "app/place_control.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include <utility>

namespace tavorin {

RunPage::RunPage(QWidget* parent) : WizardPage(QStringLiteral("FrameMain_4"), parent) {
    txtLog = placeControl<QPlainTextEdit>(this, QStringLiteral("txtLog"), QRect(8, 8, 281, 130));
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setUndoRedoEnabled(false);
    // The page has no place for another button: the report is saved from the log's menu.
    saveReport = new QAction(QStringLiteral("レポートを保存…"), this);
    saveReport->setObjectName(QStringLiteral("mnuSaveReport"));
    saveReport->setEnabled(false);
    connect(saveReport, &QAction::triggered, this, &RunPage::saveReportRequested);
    txtLog->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtLog, &QPlainTextEdit::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = txtLog->createStandardContextMenu();
        menu->addSeparator();
        menu->addAction(saveReport);
        menu->exec(txtLog->viewport()->mapToGlobal(at));
        delete menu;
    });

    pb = placeControl<QProgressBar>(this, QStringLiteral("PB"), QRect(8, 144, 281, 18));
    // "i / n": how far a run over thousands of files has come, without counting log lines.
    pb->setFormat(QStringLiteral("%v / %m"));
    pb->setAlignment(Qt::AlignCenter);

    com4Copy = placeControl<QPushButton>(this, QStringLiteral("com4Copy"), QRect(8, 168, 89, 25),
                                         QStringLiteral("ログのコピー"));
    com4Copy->setEnabled(false);
    // In the gap between "ログのコピー" and "戻る", usable only after a run that replaced files.
    com4Undo = placeControl<QPushButton>(this, QStringLiteral("com4Undo"), QRect(104, 168, 57, 25),
                                         QStringLiteral("元に戻す"));
    com4Undo->setEnabled(false);
    com4to3 = placeBackButton(QStringLiteral("com4to3"));
    com4 = placeControl<QPushButton>(this, QStringLiteral("com4"), nextButtonGeometry,
                                     QStringLiteral("開始"));
    setDefaultButton(com4);
    connect(com4Copy, &QPushButton::clicked, this, &RunPage::copyLog);
    connect(com4, &QPushButton::clicked, this, &RunPage::pressCom4);
    connect(com4Undo, &QPushButton::clicked, this, &RunPage::undoRequested);

    logTimer = new QTimer(this);
    logTimer->setSingleShot(true);
    logTimer->setInterval(50);
    connect(logTimer, &QTimer::timeout, this, &RunPage::showPendingLog);
}

void RunPage::prepare(int fileCount) {
    pb->setMinimum(0);
    pb->setValue(0);
    pb->setMaximum(fileCount);
    log.clear();
    pendingLog.clear();
    pendingProgress.reset();
    logTimer->stop();
    txtLog->clear();
    com4->setEnabled(true);
    setRunState(RunState::Ready);
}

void RunPage::setRunState(RunState newState) {
    state = newState;
    com4Undo->setEnabled(false);
    saveReport->setEnabled(state == RunState::Finished);
    switch (state) {
    case RunState::Ready:
        com4->setText(QStringLiteral("開始"));
        com4Copy->setEnabled(false);
        com4to3->setEnabled(true);
        break;
    case RunState::Running:
        com4->setText(QStringLiteral("中断"));
        com4Copy->setEnabled(false);
        com4to3->setEnabled(false);
        break;
    case RunState::Finished:
        // No way back after a run: "終了" ends the program.
        com4->setText(QStringLiteral("終了"));
        com4Copy->setEnabled(true);
        com4to3->setEnabled(false);
        break;
    }
}

void RunPage::pressCom4() {
    switch (state) {
    case RunState::Ready:
        emit startRequested();
        break;
    case RunState::Running:
        emit abortRequested();
        break;
    case RunState::Finished:
        emit endRequested();
        break;
    }
}

void RunPage::appendLog(const QString& text) {
    log += text;
    pendingLog += text;
    if (!logTimer->isActive()) {
        logTimer->start();
    }
}

void RunPage::setProgress(int value, int maximum) {
    pendingProgress = std::pair(value, maximum);
    if (!logTimer->isActive()) {
        logTimer->start();
    }
}

void RunPage::showPendingLog() {
    logTimer->stop();
    if (const auto progress = std::exchange(pendingProgress, std::nullopt)) {
        if (pb->maximum() != progress->second) {
            pb->setMaximum(progress->second);
        }
        pb->setValue(progress->first);
    }
    if (pendingLog.isEmpty()) {
        return;
    }
    // The text box keeps lines in blocks; a CR of the CR LF line end would show as a box.
    QString shown = std::exchange(pendingLog, QString());
    shown.remove(QLatin1Char('\r'));
    QTextCursor end(txtLog->document());
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    txtLog->verticalScrollBar()->setValue(txtLog->verticalScrollBar()->maximum());
}

void RunPage::copyLog() const {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(log);
}

} // namespace tavorin
