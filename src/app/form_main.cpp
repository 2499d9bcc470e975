#include "app/form_main.h"

#include "app/document_url.h"
#include "app/form_about.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/mode_page.h"
#include "app/other_settings_page.h"
#include "app/place_control.h"
#include "app/program_picture.h"
#include "app/quick_help_path.h"
#include "app/run_page.h"
#include "app/shell_services.h"
#include "app/show_request_channel.h"
#include "app/single_instance_lock.h"
#include "app/time_type_page.h"
#include "app/tool_tip_filter.h"
#include "app/wizard_page.h"
#include "app/wizard_run_host.h"
#include "app/wizard_texts.h"
#include "run/run_counts_text.h"
#include "journal/journal_undo.h"
#include "report/run_report.h"
#include "run/run_driver.h"
#include "settings/settings_store.h"
#include "song/playback_engine.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWindow>

namespace tavorin {

namespace {

// The left margin of the page panels; the gap under them is the same.
constexpr int pageLeft = 8;

QFont wizardFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                      font.family()});
    font.setPointSize(9);
    return font;
}

} // namespace

FormMain::FormMain(const WizardServices& wizardServices, QWidget* parent)
    : QWidget(parent), services(wizardServices) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(wizardTitle());
    setWindowIcon(programIcon());
    setFont(wizardFont());

    // The page panels stacked on one place, flush with the top, equal margins.
    auto* pageArea = new QWidget(this);
    pageArea->setFixedSize(pageSize.width() + 2 * pageLeft, pageSize.height() + pageLeft);
    modePage = new ModePage(pageArea);
    lyricsFilesPage = new LyricsFilesPage(pageArea);
    timeTypePage = new TimeTypePage(pageArea);
    otherSettingsPage = new OtherSettingsPage(services.shell, pageArea);
    runPage = new RunPage(pageArea);

    sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("SB"));
    sb->setSizeGripEnabled(false);
    stepPanel = new QLabel(sb);
    stepPanel->setObjectName(QStringLiteral("SB_1"));
    modePanel = new QLabel(sb);
    modePanel->setObjectName(QStringLiteral("SB_2"));
    // ":Winamp" ends where the pages do, not at the window's edge.
    modePanel->setContentsMargins(0, 0, pageLeft, 0);
    sb->addWidget(stepPanel, 3);
    sb->addWidget(modePanel, 2);

    // Sized once around the pages; nothing follows a later change of size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pageArea);
    layout->addWidget(sb);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();

    steps = {{
        {modePage, QStringLiteral("1/5 モード選択"), ModeSummary::None,
         [this] { modePage->load(settings); }, nullptr, nullptr},
        {lyricsFilesPage, QStringLiteral("2/5 歌詞ファイルの追加"), ModeSummary::Mode, nullptr,
         nullptr, [this] { return lyricsFilesPage->missingInput(); }},
        {timeTypePage, QStringLiteral("3/5 タイムタイプ選択"), ModeSummary::Mode,
         [this] { timeTypePage->load(settings); }, [this] { timeTypePage->store(settings); },
         nullptr},
        {otherSettingsPage, QStringLiteral("4/5 その他の設定"), ModeSummary::ModeAndTimeType,
         [this] { otherSettingsPage->load(settings); },
         [this] { otherSettingsPage->store(settings); },
         [this] { return otherSettingsPage->missingInput(); }, true},
        {runPage, QStringLiteral("5/5 設定完了"), ModeSummary::ModeAndTimeType,
         [this] { runPage->prepare(lyricsFilesPage->list1->count()); }, nullptr, nullptr},
    }};
    // Enter presses the focused button, as in any dialog.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(true);
    }
    for (int index = 0; index < static_cast<int>(steps.size()); ++index) {
        WizardPage* page = steps[index].page;
        page->move(pageLeft, 0);
        page->hide();
        connect(page, &WizardPage::nextRequested, this, [this, index] { goNext(index); });
        connect(page, &WizardPage::backRequested, this, [this, index] { goBack(index); });
    }
    // The mode is stored the moment it is chosen.
    connect(modePage, &ModePage::modeChosen, this,
            [this](bool newMode) { settings.newMode = newMode; });
    connect(modePage, &ModePage::helpRequested, this, &FormMain::openQuickHelp);
    connect(modePage, &ModePage::aboutRequested, this, &FormMain::showAbout);
    connect(runPage, &RunPage::startRequested, this, &FormMain::startRun);
    connect(runPage, &RunPage::abortRequested, this, [this] { abortRequested = true; });
    connect(runPage, &RunPage::endRequested, this, &FormMain::close);
    connect(runPage, &RunPage::undoRequested, this, &FormMain::undoRun);
    connect(runPage, &RunPage::saveReportRequested, this, &FormMain::saveReport);
    connect(lyricsFilesPage->list1, &LyricsFileListWidget::unreadableFilesDropped, this,
            [this](const QStringList& shownPaths) {
                services.shell.showMessage(this, unreadableFilesMessage(shownPaths));
            });

    // Tool tips in the window's font, long ones wrapped at the pages' width.
    QToolTip::setFont(font());
    ToolTipFilter::watchAll(this);

    // The start sequence, after the second-instance test has passed (startWizard).
    services.engine.init();
    settings = SettingsStore(services.settingsStore).load();
    enterStep(0, false);
}

FormMain::~FormMain() = default;

int FormMain::currentPage() const {
    // The page the user sees, told by the panels themselves.
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        if (!steps[i].page->isHidden()) {
            return i;
        }
    }
    return -1;
}

QString FormMain::stepPanelText() const {
    return stepPanel->text();
}

QString FormMain::modePanelText() const {
    return modePanel->text();
}

bool FormMain::isRunning() const {
    return runPage->runState() == RunPage::RunState::Running;
}

bool FormMain::isTopmost() const {
    // What the window manager is told, once the window is on the screen.
    const QWindow* nativeWindow = windowHandle();
    return (nativeWindow != nullptr ? nativeWindow->flags() : windowFlags())
        .testFlag(Qt::WindowStaysOnTopHint);
}

void FormMain::goNext(int from) {
    // Only the page shown leads on; the last page has its own button instead of "次へ".
    if (from != currentStep || from + 1 >= static_cast<int>(steps.size())) {
        return;
    }
    const WizardStep& step = steps[from];
    if (step.missingInput) {
        const QString missing = step.missingInput();
        if (!missing.isEmpty()) {
            services.shell.showMessage(this, missing);
            return;
        }
    }
    if (step.store) {
        step.store();
    }
    enterStep(from + 1, false);
}

void FormMain::goBack(int from) {
    if (from != currentStep || from == 0) {
        return;
    }
    const WizardStep& step = steps[from];
    if (step.keepsChangesGoingBack && step.store) {
        step.store();
    }
    enterStep(from - 1, true);
}

void FormMain::enterStep(int index, bool comingBack) {
    const WizardStep& step = steps[index];
    if (step.load && !(comingBack && step.keepsChangesGoingBack)) {
        step.load();
    }
    stepPanel->setText(step.title);
    switch (step.modeSummary) {
    case ModeSummary::None:
        modePanel->clear();
        break;
    case ModeSummary::Mode:
        modePanel->setText(modePage->modeText());
        break;
    case ModeSummary::ModeAndTimeType:
        modePanel->setText(modePage->modeText() + (settings.winampTime ? QStringLiteral(":Winamp")
                                                                       : QStringLiteral(":標準")));
        break;
    }
    for (const WizardStep& other : steps) {
        other.page->hide();
    }
    step.page->show();
    currentStep = index;
    // On top while the user drags files from the file manager onto the list.
    setTopmost(step.page == lyricsFilesPage);
    if (QWidget* focus = step.page->entryFocus()) {
        focus->setFocus(Qt::OtherFocusReason);
    }
}

void FormMain::setTopmost(bool on) {
    if (isTopmost() == on) {
        return;
    }
    QWindow* nativeWindow = windowHandle();
    if (nativeWindow == nullptr) {
        // Not on the screen yet: the flag is simply where the window will be made from.
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    // On the native window as it is: QWidget::setWindowFlag would make a new one, which loses
    // the activation, the focus frame, the caret and the tool tips under a window manager.
    overrideWindowFlags(windowFlags().setFlag(Qt::WindowStaysOnTopHint, on));
    nativeWindow->setFlag(Qt::WindowStaysOnTopHint, on);
}

void FormMain::startRun() {
    runPage->setRunState(RunPage::RunState::Running);
    abortRequested = false;
    QApplication::setOverrideCursor(Qt::BusyCursor);

    WizardRunHost host(*runPage, *stepPanel, [this] { return abortRequested; });
    // The mode comes from the option shown on the Mode page, which always agrees with NewMode.
    WizardSettings runSettings = settings;
    runSettings.newMode = modePage->newModeSelected();
    RunJournal journal(services.journalFolder, runSettings.newMode);
    RunDriver driver(host, services.engine,
                     services.journalFolder.isEmpty() ? LyricsWriter() : journal.writer());
    runReport = std::make_unique<RunReport>(
        runSettings, false, [engine = &services.engine](const QString& song) {
            return engine->lengthmSec(song);
        });
    driver.recordFiles([this](const LyricsFileRecord& record) { runReport->addFile(record); });
    const RunSummary summary = driver.run(lyricsFilesPage->list1->entries(), runSettings);
    runReport->finish(summary, journal.runId());
    runPage->showPendingLog();
    // How the run went, where the user looks last: the Run Log stays as it is. The counts take
    // the whole status bar; the mode is the Run Log's first line, and there is no way back.
    stepPanel->setText(runCountsText(summary));
    runPage->pb->setValue(summary.filesHandled); // an abort leaves it before the last file
    modePanel->hide();

    runPage->setRunState(RunPage::RunState::Finished);
    runJournalId = journal.runId();
    runPage->com4Undo->setEnabled(!runJournalId.isEmpty());
    abortRequested = false;
    QApplication::restoreOverrideCursor();

    // Songs and folders no name can reach (Shift-JIS names from old archives), after the run,
    // once: the Run Log has no place for them.
    if (!host.passedOverNotes().isEmpty()) {
        services.shell.showMessage(
            this,
            messageWithLines(QStringLiteral("次のファイルは名前が UTF-8 ではないので使えません"
                                            "でした。名前を付け直してから、もう一度実行して"
                                            "ください。"),
                             host.passedOverNotes()));
    }
}

void FormMain::undoRun() {
    if (!services.shell.askQuestion(
            this, QStringLiteral("この実行で書き換えた歌詞ファイルをすべて元に戻しますか？\n"
                                 "実行の後で変更されたファイルはそのままにします。"))) {
        return;
    }
    WizardRunHost host(*runPage, *stepPanel, [] { return false; });
    host.appendLog(crlf);
    tavorin::undoRun(services.journalFolder, runJournalId, host);
    runPage->showPendingLog();
    runPage->com4Undo->setEnabled(false);
}

void FormMain::saveReport() {
    if (!runReport) {
        return;
    }
    const QString path =
        services.shell.chooseSaveFile(this, QStringLiteral("レポートを保存"),
                                      QDir::home().filePath(QStringLiteral("tavorin-report.json")));
    if (path.isEmpty()) {
        return;
    }
    const WriteResult written = runReport->write(path);
    if (written.outcome != WriteOutcome::Written) {
        services.shell.showMessage(this, QStringLiteral("レポートを保存できません。（") +
                                             written.systemMessage + QStringLiteral("）"));
    }
}

void FormMain::openQuickHelp() {
    // A missing document is ignored without a message.
    openDocument(services.shell, quickHelpPath(services.programFolder));
}

void FormMain::showAbout() {
    FormAbout about(services.engine, services.shell, this);
    about.exec();
}

void FormMain::closeEvent(QCloseEvent* event) {
    if (isRunning()) {
        // Stopping a run takes "中断"; closing would leave a file half handled.
        event->ignore();
        return;
    }
    SettingsStore(services.settingsStore).save(settings);
    services.settingsStore.sync();
    event->accept();
}

void FormMain::keyPressEvent(QKeyEvent* event) {
    const WizardPage* page = steps[currentStep].page;
    QPushButton* pressed = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter in the list or the Run Log stays there: it moves on from fields only.
        if (!qobject_cast<QAbstractItemView*>(focusWidget()) &&
            !qobject_cast<QPlainTextEdit*>(focusWidget())) {
            pressed = page->defaultButton();
        }
        break;
    case Qt::Key_Escape:
        pressed = page->backButton();
        break;
    default:
        break;
    }
    if (pressed == nullptr || !pressed->isVisible() || !pressed->isEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    pressed->click();
}

void FormMain::bringToFront() {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

std::unique_ptr<FormMain> startWizard(SingleInstanceLock& lock, const WizardServices& services) {
    if (!lock.tryAcquire()) {
        ShowRequestChannel(lock.socketPath()).askToShow();
        return nullptr;
    }
    auto form = std::make_unique<FormMain>(services);
    auto* channel = new ShowRequestChannel(lock.socketPath(), form.get());
    QObject::connect(channel, &ShowRequestChannel::showRequested, form.get(),
                     &FormMain::bringToFront);
    channel->listen();
    return form;
}

} // namespace tavorin
