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
#include "app/single_instance_lock.h"
#include "app/time_type_page.h"
#include "app/wizard_run_host.h"
#include "app/wizard_texts.h"
#include "run/run_driver.h"
#include "settings/settings_store.h"
#include "song/playback_engine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

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
    frameMain = {modePage, lyricsFilesPage, timeTypePage, otherSettingsPage, runPage};
    for (QFrame* frame : frameMain) {
        frame->move(pageLeft, 0);
        frame->hide();
    }

    sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("SB"));
    sb->setSizeGripEnabled(false);
    stepPanel = new QLabel(sb);
    stepPanel->setObjectName(QStringLiteral("SB_1"));
    modePanel = new QLabel(sb);
    modePanel->setObjectName(QStringLiteral("SB_2"));
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

    connect(modePage, &ModePage::modeChosen, this,
            [this](bool newMode) { settings.newMode = newMode; });
    connect(modePage->com0to1, &QPushButton::clicked, this, &FormMain::enterLyricsFilesPage);
    connect(modePage->com1Help, &QPushButton::clicked, this, &FormMain::openQuickHelp);
    connect(modePage, &ModePage::imageClicked, this, &FormMain::showAbout);
    connect(lyricsFilesPage->com1to0, &QPushButton::clicked, this, &FormMain::enterModePage);
    connect(lyricsFilesPage->com1to2, &QPushButton::clicked, this, &FormMain::leaveLyricsFilesPage);
    connect(lyricsFilesPage->list1, &LyricsFileListWidget::unreadableFilesDropped, this,
            [this](const QStringList& shownPaths) {
                services.shell.showMessage(this, unreadableFilesMessage(shownPaths));
            });
    connect(timeTypePage->com2to1, &QPushButton::clicked, this, &FormMain::backToLyricsFilesPage);
    connect(timeTypePage->com2to3, &QPushButton::clicked, this, &FormMain::leaveTimeTypePage);
    connect(otherSettingsPage->com3to2, &QPushButton::clicked, this, &FormMain::backToTimeTypePage);
    connect(otherSettingsPage->com3to4, &QPushButton::clicked, this,
            &FormMain::leaveOtherSettingsPage);
    connect(runPage->com4to3, &QPushButton::clicked, this, &FormMain::backToOtherSettingsPage);
    connect(runPage->com4, &QPushButton::clicked, this, &FormMain::pressCom4);

    // The start sequence, after the second-instance test has passed (startWizard).
    services.engine.init();
    settings = SettingsStore(services.settingsStore).load();
    modePage->selectMode(settings.newMode);
    enterModePage();
}

FormMain::~FormMain() = default;

int FormMain::currentPage() const {
    for (int i = 0; i < static_cast<int>(frameMain.size()); ++i) {
        if (!frameMain[i]->isHidden()) {
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

bool FormMain::isTopmost() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void FormMain::showPage(int index) {
    for (QFrame* frame : frameMain) {
        frame->hide();
    }
    frameMain[index]->show();
}

void FormMain::setTopmost(bool on) {
    if (isTopmost() == on) {
        return;
    }
    // Changing the flag takes the window off the screen; put it back where it was.
    const bool shown = isVisible();
    const QPoint place = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) {
        move(place);
        show();
    }
}

void FormMain::enterModePage() {
    showPage(0);
    stepPanel->setText(QStringLiteral("1/5 モード選択"));
    modePanel->clear();
    modePage->showIntroduction();
    setTopmost(false);
}

void FormMain::enterLyricsFilesPage() {
    modePanel->setText(modePage->modeText());
    stepPanel->setText(QStringLiteral("2/5 歌詞ファイルの追加"));
    showPage(1);
    setTopmost(true);
}

void FormMain::leaveLyricsFilesPage() {
    if (lyricsFilesPage->list1->count() == 0) {
        services.shell.showMessage(this, QStringLiteral("歌詞ファイルが登録されていません。"));
        return;
    }
    setTopmost(false);
    stepPanel->setText(QStringLiteral("3/5 タイムタイプ選択"));
    enterTimeTypePage();
    showPage(2);
}

void FormMain::backToLyricsFilesPage() {
    // What was changed on the Time Type page is dropped.
    stepPanel->setText(QStringLiteral("2/5 歌詞ファイルの追加"));
    showPage(1);
    setTopmost(true);
}

void FormMain::enterTimeTypePage() {
    timeTypePage->load(settings);
    timeTypePage->showForMode(settings.newMode);
}

void FormMain::leaveTimeTypePage() {
    timeTypePage->store(settings);
    stepPanel->setText(QStringLiteral("4/5 その他の設定"));
    // The mode panel holds exactly the mode text here, so the suffix is never doubled.
    modePanel->setText(modePanel->text() +
                       (settings.winampTime ? QStringLiteral(":Winamp") : QStringLiteral(":標準")));
    otherSettingsPage->load(settings);
    showPage(3);
}

void FormMain::backToTimeTypePage() {
    otherSettingsPage->store(settings);
    stepPanel->setText(QStringLiteral("3/5 タイムタイプ選択"));
    modePanel->setText(modePage->modeText());
    enterTimeTypePage();
    showPage(2);
}

void FormMain::leaveOtherSettingsPage() {
    // A name of blanks is a name.
    if (otherSettingsPage->txtName->text().isEmpty()) {
        services.shell.showMessage(this, QStringLiteral("名前は必ず入力してください。"));
        return;
    }
    otherSettingsPage->store(settings);
    runPage->prepare(lyricsFilesPage->list1->count());
    stepPanel->setText(QStringLiteral("5/5 設定完了"));
    showPage(4);
}

void FormMain::backToOtherSettingsPage() {
    // The Other Settings page keeps its controls as they were left.
    stepPanel->setText(QStringLiteral("4/5 その他の設定"));
    showPage(3);
}

void FormMain::pressCom4() {
    const QString caption = runPage->com4->text();
    if (caption == QStringLiteral("開始")) {
        startRun();
    } else if (caption == QStringLiteral("中断")) {
        abortRequested = true;
    } else {
        close();
    }
}

void FormMain::startRun() {
    runPage->com4->setText(QStringLiteral("中断"));
    runPage->com4Copy->setEnabled(false);
    runPage->com4to3->setEnabled(false);
    running = true;
    abortRequested = false;
    QApplication::setOverrideCursor(Qt::BusyCursor);

    WizardRunHost host(*runPage, *stepPanel, [this] { return abortRequested; });
    RunDriver driver(host, services.engine);
    // The mode comes from the option shown on the Mode page, which always agrees with NewMode.
    WizardSettings runSettings = settings;
    runSettings.newMode = modePage->newModeSelected();
    driver.run(lyricsFilesPage->list1->entries(), runSettings);
    runPage->showPendingLog();

    // No way back after a run: "戻る" stays disabled, "終了" ends the program.
    runPage->com4->setText(QStringLiteral("終了"));
    runPage->com4Copy->setEnabled(true);
    abortRequested = false;
    running = false;
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

void FormMain::openQuickHelp() {
    // A missing document is ignored without a message.
    openDocument(services.shell, quickHelpPath(services.programFolder));
}

void FormMain::showAbout() {
    FormAbout about(services.engine, services.shell, this);
    about.exec();
}

void FormMain::closeEvent(QCloseEvent* event) {
    if (running) {
        // Stopping a run takes "中断"; closing would leave a file half handled.
        event->ignore();
        return;
    }
    SettingsStore(services.settingsStore).save(settings);
    services.settingsStore.sync();
    event->accept();
}

std::unique_ptr<FormMain> startWizard(SingleInstanceLock& lock, const WizardServices& services) {
    if (!lock.tryAcquire()) {
        return nullptr;
    }
    return std::make_unique<FormMain>(services);
}

} // namespace tavorin
