#pragma once

#include "journal/run_journal.h"
#include "settings/wizard_settings.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QSettings;
class QStatusBar;

namespace tavorin {

class LyricsFilesPage;
class ModePage;
class OtherSettingsPage;
class PlaybackEngine;
class RunReport;
class RunPage;
class ShellServices;
class SingleInstanceLock;
class TimeTypePage;
class WizardPage;

// What the wizard works with; tests pass fakes and a temporary settings store.
struct WizardServices {
    PlaybackEngine& engine;
    ShellServices& shell;
    QSettings& settingsStore;
    QString programFolder; // where the quick-help document is looked for first
    // Where runs keep what they replace; empty: nowhere, a run cannot be undone.
    QString journalFolder = defaultJournalFolder();
};

// The main window: five page panels, one shown at a time, and the status bar naming the step
// and the mode. It leads the user from step to step; the run belongs to the run driver.
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
    bool isRunning() const;
    bool isTopmost() const;
    const WizardSettings& wizardSettings() const { return settings; }
    // A second start asked for the window: it comes to the front, restored if minimised.
    void bringToFront();

    ModePage* modePage;
    LyricsFilesPage* lyricsFilesPage;
    TimeTypePage* timeTypePage;
    OtherSettingsPage* otherSettingsPage;
    RunPage* runPage;
    QStatusBar* sb;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter and Esc that no control took: the page's default button and "戻る".
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the mode panel reads while a step is shown.
    enum class ModeSummary {
        None,            // the mode is still being chosen
        Mode,            // "補正変換"
        ModeAndTimeType, // "補正変換:Winamp"
    };
    // One step of the wizard and what happens on the way into and out of it.
    struct WizardStep {
        WizardPage* page;
        QString title; // the step panel's text
        ModeSummary modeSummary;
        // Copies the Wizard Settings into the page; runs whenever the page is entered, except
        // coming back to a page that keeps its changes (it shows them as they were left).
        std::function<void()> load;
        // Copies the page's answers into the Wizard Settings on "次へ".
        std::function<void()> store;
        // Why "次へ" cannot go on; empty when it can.
        std::function<QString()> missingInput;
        // "戻る" stores the page too; otherwise what was changed on it is dropped.
        bool keepsChangesGoingBack = false;
    };

    // "次へ" or "戻る" asked for by the page of step from.
    void goNext(int from);
    void goBack(int from);
    void enterStep(int index, bool comingBack);
    void setTopmost(bool on);
    void startRun();
    // Puts back the files of the run just made, when the user confirms.
    void undoRun();
    // Writes the report of the run just made where the user chooses.
    void saveReport();
    void openQuickHelp();
    void showAbout();

    WizardServices services;
    WizardSettings settings;
    std::array<WizardStep, 5> steps;
    int currentStep = 0;
    QLabel* stepPanel;
    QLabel* modePanel;
    bool abortRequested = false;
    QString runJournalId; // the run just made, in the journal; empty: nothing to undo
    std::unique_ptr<RunReport> runReport; // of the run just made
};

// The start of the program: when another instance is running, it only brings that one's window
// to the front (nothing loaded, shown or saved); otherwise the main window after its start
// sequence, listening for later starts.
std::unique_ptr<FormMain> startWizard(SingleInstanceLock& lock, const WizardServices& services);

} // namespace tavorin
