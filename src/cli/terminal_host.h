#pragma once

#include "run/run_host.h"

#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <cstdio>

namespace tavorin {

// tavorin-cli's side of a run: the Run Log on standard output in UTF-8 with plain line feeds,
// a progress line on standard error when that is a terminal, Ctrl+C as the abort request.
class TerminalHost : public RunHost {
public:
    TerminalHost(std::FILE* logOutput, std::FILE* messageOutput, bool showProgress,
                 const std::atomic<bool>& abortFlag);

    void appendLog(const QString& text) override;
    void setProgress(int value, int maximum) override;
    void processEvents() override;
    bool abortRequested() override;
    void showStatus(const QString& text) override;
    // On standard error, a line of its own: the Run Log on standard output stays as it is.
    void reportPassedOver(const QString& text) override;

    // Sends out the rest of the Run Log and ends the progress line, so later messages start
    // on a line of their own.
    void finishProgress();

private:
    std::FILE* log;
    std::FILE* messages;
    bool progressShown;
    bool progressLineOpen = false;
    const std::atomic<bool>& abort;
    QElapsedTimer sinceEvents; // since pending events last ran
};

} // namespace tavorin
