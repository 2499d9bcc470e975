#pragma once

#include <QString>

namespace tavorin {

// What a run needs of its front end: the wizard's window or tavorin-cli's terminal.
class RunHost {
public:
    virtual ~RunHost() = default;
    // Appends text at the end of the Run Log (lines end with CR LF).
    virtual void appendLog(const QString& text) = 0;
    virtual void setProgress(int value, int maximum) = 0;
    // Lets pending events run, so an abort request or a close attempt reaches the program.
    virtual void processEvents() = 0;
    virtual bool abortRequested() = 0;
    virtual void showStatus(const QString& text) = 0;
    // A file the run had to pass over without a word in the Run Log, whose text other tools
    // read: a song or folder whose name is not UTF-8.
    virtual void reportPassedOver(const QString& /*text*/) {}
};

} // namespace tavorin
