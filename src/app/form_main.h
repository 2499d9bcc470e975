#pragma once

#include "settings/wizard_settings.h"

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QSettings;
class QStatusBar;

namespace tavorin {

class LyricsFilesPage;
class ModePage;
class OtherSettingsPage;
class PlaybackEngine;
class RunPage;
class ShellServices;
class SingleInstanceLock;
class TimeTypePage;

// What the wizard works with; tests pass fakes and a temporary settings store.
struct WizardServices {
    PlaybackEngine& engine;
    ShellServices& shell;
    QSettings& settingsStore;
    QString programFolder; // where the quick-help document is looked for first
};

// The main window: five page panels, one shown at a time, and the status bar naming the step
// and the mode. It drives the pages; the run belongs to the run driver.
class FormMain : public QWidget {
    Q_OBJECT
public:
    // Runs the start sequence: engine, settings, stored mode, the Mode page.
    explicit FormMain(const WizardServices& services, QWidget* parent = nullptr);
    ~FormMain() override;

    // The page shown, 0 to 4.
    int currentPage() const;
    QString stepPanelText() const;
    QString modePanelText() const;
    bool isRunning() const { return running; }
    bool isTopmost() const;
    const WizardSettings& wizardSettings() const { return settings; }

    std::array<QFrame*, 5> frameMain{};
    ModePage* modePage;
    LyricsFilesPage* lyricsFilesPage;
    TimeTypePage* timeTypePage;
    OtherSettingsPage* otherSettingsPage;
    RunPage* runPage;
    QStatusBar* sb;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showPage(int index);
    void setTopmost(bool on);
    void enterModePage();
    void enterLyricsFilesPage();
    void leaveLyricsFilesPage();
    void backToLyricsFilesPage();
    void leaveTimeTypePage();
    void backToTimeTypePage();
    void leaveOtherSettingsPage();
    void backToOtherSettingsPage();
    void enterTimeTypePage();
    void pressCom4();
    void startRun();
    void openQuickHelp();
    void showAbout();

    WizardServices services;
    WizardSettings settings;
    QLabel* stepPanel;
    QLabel* modePanel;
    bool running = false;
    bool abortRequested = false;
};

// The start of the program: nothing at all when another instance is running (nothing loaded,
// shown or saved), otherwise the main window after its start sequence.
std::unique_ptr<FormMain> startWizard(SingleInstanceLock& lock, const WizardServices& services);

} // namespace tavorin
