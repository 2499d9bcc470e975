#include "app/wizard_run_host.h"

#include "app/run_page.h"

#include <QCoreApplication>
#include <QLabel>

#include <utility>

namespace tavorin {

WizardRunHost::WizardRunHost(RunPage& runPage, QLabel& step, std::function<bool()> abort)
    : page(runPage), stepPanel(step), abortFlag(std::move(abort)) {}

void WizardRunHost::appendLog(const QString& text) {
    page.appendLog(text);
}

void WizardRunHost::setProgress(int value, int maximum) {
    page.setProgress(value, maximum);
}

void WizardRunHost::processEvents() {
    // One call per file: that is how "中断" and close attempts reach the window during a run.
    QCoreApplication::processEvents();
}

bool WizardRunHost::abortRequested() {
    return abortFlag();
}

void WizardRunHost::showStatus(const QString& text) {
    stepPanel.setText(text);
}

void WizardRunHost::reportPassedOver(const QString& text) {
    passedOver.append(text);
}

} // namespace tavorin
