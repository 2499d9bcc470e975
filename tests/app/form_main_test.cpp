#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "app/run_page.h"
#include "app/single_instance_lock.h"
#include "run/run_test_support.h"
#include "wizard_test_support.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace tavorin::test {
namespace {

using tavorin::testing::writeBytes;

struct ModeCase {
    bool newMode;
    const char* modeText;
    const char* frame21Caption;
};

const ModeCase modeCases[] = {
    {true, "補正データ新規追加", "タグ付けしたときのタイムタイプはどちらでしたか?"},
    {false, "補正変換", "どちらの時間に変換しますか?"},
};

void expectStep(const FormMain& form, int page, const char* title, const QString& modePanel) {
    EXPECT_EQ(form.currentPage(), page);
    EXPECT_EQ(form.stepPanelText(), QString::fromUtf8(title));
    EXPECT_EQ(form.modePanelText(), modePanel);
    // Above other windows exactly while files are dragged onto the list.
    EXPECT_EQ(form.isTopmost(), page == 1);
}

QString stored(const QSettings& store, const char* key) {
    return store.value(QStringLiteral("Init/") + QLatin1String(key)).toString();
}

class WizardWalkTest : public ::testing::TestWithParam<ModeCase> {};

// Forward and back through every page, from the other mode stored by an earlier start: what
// each step shows, stores and drops, and what is saved for the next start.
TEST_P(WizardWalkTest, EveryStepShowsStoresAndDropsWhatItShould) {
    const ModeCase& mode = GetParam();
    const char* option = mode.newMode ? "opt1_0" : "opt1_1";
    // The skip box the mode shows where the other mode shows Frame22.
    const char* skipBox = mode.newMode ? "chkIgnoreAtTag" : "chkIgnoreOwn";
    const QString modeText = QString::fromUtf8(mode.modeText);
    const QString winamp = modeText + QStringLiteral(":Winamp");
    WizardFixture fixture;
    fixture.store->setValue(QStringLiteral("Init/NewMode"), !mode.newMode);
    fixture.store->setValue(QStringLiteral("Init/RMP"), QStringLiteral("1"));
    FormMain& form = fixture.open();
    expectStep(form, 0, "1/5 モード選択", QString());
    EXPECT_FALSE(checked(form, option));
    EXPECT_FALSE(control<QLabel>(form, "lbl1")->text().isEmpty());

    click(form, option);
    click(form, "com0to1");
    expectStep(form, 1, "2/5 歌詞ファイルの追加", modeText);
    click(form, "com1to2");
    expectStep(form, 1, "2/5 歌詞ファイルの追加", modeText);
    EXPECT_EQ(fixture.shell.messages,
              QStringList{QStringLiteral("歌詞ファイルが登録されていません。")});
    auto* list = control<LyricsFileListWidget>(form, "list1");
    for (const char* path : {"/l/b.txt", "/l/a.lrc", "/l/c.kra"}) {
        list->addPath(QString::fromLatin1(path));
    }
    click(form, "com1to2");
    expectStep(form, 2, "3/5 タイムタイプ選択", modeText);
    EXPECT_EQ(control<QGroupBox>(form, "Frame21")->title(), QString::fromUtf8(mode.frame21Caption));
    EXPECT_EQ(control<QWidget>(form, "Frame22")->isHidden(), mode.newMode);
    EXPECT_FALSE(control<QWidget>(form, skipBox)->isHidden());
    EXPECT_NE(control<QWidget>(form, "chkIgnoreAtTag")->isHidden(),
              control<QWidget>(form, "chkIgnoreOwn")->isHidden());

    // "戻る" drops what was changed here.
    const bool skipping = checked(form, skipBox);
    click(form, "opt2_1");
    if (!mode.newMode) {
        click(form, "opt22_1");
    }
    click(form, skipBox);
    click(form, "com2to1");
    expectStep(form, 1, "2/5 歌詞ファイルの追加", modeText);
    click(form, "com1to2");
    EXPECT_TRUE(checked(form, "opt2_0") && checked(form, "opt22_0"));
    EXPECT_EQ(checked(form, skipBox), skipping);

    // Back and forth between pages 3 and 4: one time type suffix, never two.
    click(form, "opt2_1");
    for (int round = 0; round < 2; ++round) {
        click(form, "com2to3");
        expectStep(form, 3, "4/5 その他の設定", modeText + QStringLiteral(":標準"));
        click(form, "com3to2");
        expectStep(form, 2, "3/5 タイムタイプ選択", modeText);
        EXPECT_TRUE(checked(form, "opt2_1"));
    }
    click(form, "opt2_0");
    click(form, "com2to3");
    // "戻る" here keeps what was changed.
    click(form, "chkAtArtist");
    click(form, "com3to2");
    click(form, "com2to3");
    EXPECT_TRUE(checked(form, "chkAtArtist"));

    // An empty name keeps the page and stores nothing; a name of blanks is a name.
    click(form, "chkSilencemSec");
    click(form, "com3to4");
    expectStep(form, 3, "4/5 その他の設定", winamp);
    EXPECT_EQ(fixture.shell.messages.last(), QStringLiteral("名前は必ず入力してください。"));
    EXPECT_TRUE(form.wizardSettings().silencemSec);
    control<QLineEdit>(form, "txtName")->setText(QStringLiteral("  "));
    click(form, "com3to4");
    expectStep(form, 4, "5/5 設定完了", winamp);
    EXPECT_FALSE(form.wizardSettings().silencemSec);
    EXPECT_FALSE(control<QWidget>(form, "com4Copy")->isEnabled());
    auto* progress = control<QProgressBar>(form, "PB");
    EXPECT_EQ(progress->maximum(), 3);

    // The Run page starts afresh each time it is entered; page 4 keeps what it was left with.
    form.runPage->appendLog(QStringLiteral("left over\r\n"));
    progress->setValue(2);
    click(form, "com4to3");
    expectStep(form, 3, "4/5 その他の設定", winamp);
    EXPECT_EQ(control<QLineEdit>(form, "txtName")->text(), QStringLiteral("  "));
    list->addPath(QStringLiteral("/l/d.txt"));
    click(form, "com3to4");
    EXPECT_TRUE(form.runPage->runLog().isEmpty());
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(progress->maximum(), 4);

    click(form, "com4to3");
    click(form, "com3to2");
    click(form, "com2to1");
    click(form, "Com1to0");
    expectStep(form, 0, "1/5 モード選択", QString());
    EXPECT_TRUE(checked(form, option));

    // Changed without a page button: not saved when the window closes.
    click(form, "com0to1");
    click(form, "com1to2");
    click(form, "opt2_1");
    EXPECT_TRUE(form.close());
    const auto reopened = fixture.reopenStore();
    EXPECT_EQ(stored(*reopened, "NewMode"), QLatin1String(mode.newMode ? "True" : "False"));
    EXPECT_EQ(stored(*reopened, "WinampTime"), QStringLiteral("True"));
    EXPECT_EQ(stored(*reopened, "RMP"), QStringLiteral("True"));
    EXPECT_EQ(stored(*reopened, "AtArtist"), QStringLiteral("True"));
    EXPECT_EQ(stored(*reopened, "Name"), QStringLiteral("  "));
}

INSTANTIATE_TEST_SUITE_P(BothModes, WizardWalkTest, ::testing::ValuesIn(modeCases));

// A second instance ends itself without loading or saving anything; the lock file a crashed
// instance left behind (its process no longer exists) does not block a start.
TEST(WizardStartTest, SecondInstanceEndsButAStaleLockDoesNotBlock) {
    WizardFixture fixture;
    const QString lockPath = fixture.folder.filePath(QStringLiteral("wizard.lock"));
    {
        SingleInstanceLock first(lockPath);
        ASSERT_TRUE(first.tryAcquire());
        SingleInstanceLock second(lockPath);
        EXPECT_EQ(startWizard(second, fixture.services()), nullptr);
        EXPECT_EQ(fixture.engine.initCount, 0);
    }
    ASSERT_TRUE(writeBytes(lockPath, "2147483646\ntavorin-wizard\n" +
                                         QSysInfo::machineHostName().toUtf8() + "\n"));
    SingleInstanceLock lock(lockPath);
    const auto form = startWizard(lock, fixture.services());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(fixture.engine.initCount, 1);
    EXPECT_FALSE(QFile::exists(fixture.settingsPath));
}

// A missing document, or a folder of its name, is ignored without a message.
TEST(WizardStartTest, QuickHelpOpensOnlyAnExistingDocument) {
    for (const bool asFolder : {true, false}) {
        WizardFixture fixture;
        FormMain& form = fixture.open();
        click(form, "com1Help");
        const QString help = fixture.folder.filePath(QStringLiteral("Tavorin補正Wizard.txt"));
        ASSERT_TRUE(asFolder ? QDir().mkpath(help) : writeBytes(help, {}));
        click(form, "com1Help");
        EXPECT_EQ(fixture.shell.openedUrls,
                  asFolder ? QList<QUrl>{} : QList<QUrl>{QUrl::fromLocalFile(help)});
        EXPECT_TRUE(fixture.shell.messages.isEmpty());
    }
}

} // namespace
} // namespace tavorin::test
