#pragma once

#include "run/run_host.h"

#include <QStringList>

#include <functional>

class QLabel;

namespace tavorin {

class RunPage;

// The wizard's side of a run: the Run Log, the progress bar and the step panel of the window.
class WizardRunHost : public RunHost {
public:
    WizardRunHost(RunPage& page, QLabel& stepPanel, std::function<bool()> abortFlag);

    void appendLog(const QString& text) override;
    void setProgress(int value, int maximum) override;
    void processEvents() override;
    bool abortRequested() override;
    void showStatus(const QString& text) override;
    // Kept for one message box after the run: the Run Log stays as it is.
    void reportPassedOver(const QString& text) override;

    const QStringList& passedOverNotes() const { return passedOver; }

private:
    RunPage& page;
    QLabel& stepPanel;
    std::function<bool()> abortFlag;
    QStringList passedOver;
};

} // namespace tavorin
