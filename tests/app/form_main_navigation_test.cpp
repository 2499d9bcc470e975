#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "wizard_test_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

namespace tavorin::test {
namespace {

template <typename Control> Control* control(const QWidget& root, const char* name) {
    auto* found = root.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(const QWidget& root, const char* name) {
    auto* button = control<QAbstractButton>(root, name);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << name;
    // Check boxes and option buttons take clicks on their box and caption only.
    const bool captioned = qobject_cast<QPushButton*>(button) == nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {},
                      captioned ? QPoint(6, button->height() / 2) : button->rect().center());
}

bool shown(const QWidget& root, const char* name) {
    return !control<QWidget>(root, name)->isHidden();
}

struct ModeCase {
    const char* option;
    bool newMode;
    const char* modeText;
    const char* frame21Caption;
};

const ModeCase modeCases[] = {
    {"opt1_0", true, "補正データ新規追加", "タグ付けしたときのタイムタイプはどちらでしたか?"},
    {"opt1_1", false, "補正変換", "どちらの時間に変換しますか?"},
};

class NavigationTest : public ::testing::TestWithParam<ModeCase> {};

// Walks forward and back through every page, checking what each page shows on entry.
TEST_P(NavigationTest, EveryPageShowsItsStepModeAndControls) {
    const ModeCase& mode = GetParam();
    WizardFixture fixture;
    FormMain& form = fixture.open();
    form.show();

    EXPECT_EQ(form.currentPage(), 0);
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("1/5 モード選択"));
    EXPECT_EQ(form.modePanelText(), QString());
    EXPECT_EQ(control<QLabel>(form, "lbl1")->text(),
              QStringLiteral("　複数ファイルの補正処理を行います。\r\n"
                             "　まずは行いたい処理を選択してください。"));
    EXPECT_FALSE(form.isTopmost());

    click(form, mode.option);
    EXPECT_EQ(form.wizardSettings().newMode, mode.newMode);
    click(form, "com0to1");
    EXPECT_EQ(form.currentPage(), 1);
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("2/5 歌詞ファイルの追加"));
    EXPECT_EQ(form.modePanelText(), QString::fromUtf8(mode.modeText));
    EXPECT_TRUE(form.isTopmost());

    // An empty list keeps the page, on top, with one message.
    click(form, "com1to2");
    EXPECT_EQ(form.currentPage(), 1);
    EXPECT_TRUE(form.isTopmost());
    EXPECT_EQ(fixture.shell.messages,
              QStringList{QStringLiteral("歌詞ファイルが登録されていません。")});

    auto* list = control<LyricsFileListWidget>(form, "list1");
    list->addPath(QStringLiteral("/lyrics/b.txt"));
    list->addPath(QStringLiteral("/lyrics/a.lrc"));
    list->addPath(QStringLiteral("/lyrics/c.kra"));
    click(form, "com1to2");
    EXPECT_EQ(form.currentPage(), 2);
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("3/5 タイムタイプ選択"));
    EXPECT_FALSE(form.isTopmost());
    EXPECT_EQ(control<QGroupBox>(form, "Frame21")->title(), QString::fromUtf8(mode.frame21Caption));
    EXPECT_EQ(shown(form, "Frame22"), !mode.newMode);
    EXPECT_EQ(shown(form, "chkIgnoreAtTag"), mode.newMode);
    EXPECT_EQ(shown(form, "chkIgnoreOwn"), !mode.newMode);
    EXPECT_EQ(control<QWidget>(form, "chkIgnoreAtTag")->y(),
              control<QWidget>(form, "Frame22")->y());
    EXPECT_TRUE(control<QRadioButton>(form, "opt2_0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(form, "opt22_0")->isChecked());

    // "戻る" drops what was changed on the Time Type page.
    click(form, "opt2_1");
    click(form, "opt22_1");
    const char* skipBox = mode.newMode ? "chkIgnoreAtTag" : "chkIgnoreOwn";
    click(form, skipBox);
    click(form, "com2to1");
    EXPECT_EQ(form.currentPage(), 1);
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("2/5 歌詞ファイルの追加"));
    EXPECT_TRUE(form.isTopmost());
    click(form, "com1to2");
    EXPECT_FALSE(form.isTopmost());
    EXPECT_TRUE(control<QRadioButton>(form, "opt2_0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(form, "opt22_0")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(form, skipBox)->isChecked());

    // Back and forth between pages 3 and 4: one suffix, never two.
    click(form, "opt2_1");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        click(form, "com2to3");
        EXPECT_EQ(form.currentPage(), 3);
        EXPECT_EQ(form.stepPanelText(), QStringLiteral("4/5 その他の設定"));
        EXPECT_EQ(form.modePanelText(), QString::fromUtf8(mode.modeText) + QStringLiteral(":標準"));
        click(form, "com3to2");
        EXPECT_EQ(form.currentPage(), 2);
        EXPECT_EQ(form.stepPanelText(), QStringLiteral("3/5 タイムタイプ選択"));
        EXPECT_EQ(form.modePanelText(), QString::fromUtf8(mode.modeText));
        EXPECT_TRUE(control<QRadioButton>(form, "opt2_1")->isChecked());
    }
    click(form, "opt2_0");
    click(form, "com2to3");
    EXPECT_EQ(form.modePanelText(), QString::fromUtf8(mode.modeText) + QStringLiteral(":Winamp"));
    EXPECT_TRUE(form.wizardSettings().winampTime);

    // "戻る" on page 4 keeps its options; they come back when the page is entered again.
    click(form, "chkRMP");
    click(form, "chkKaraoke");
    click(form, "com3to2");
    click(form, "com2to3");
    EXPECT_TRUE(control<QCheckBox>(form, "chkRMP")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(form, "chkKaraoke")->isChecked());

    // An empty name keeps the page and stores nothing.
    click(form, "chkAtArtist");
    click(form, "com3to4");
    EXPECT_EQ(form.currentPage(), 3);
    EXPECT_EQ(fixture.shell.messages.size(), 2);
    EXPECT_EQ(fixture.shell.messages.last(), QStringLiteral("名前は必ず入力してください。"));
    EXPECT_FALSE(form.wizardSettings().atArtist);

    // A name of blanks is a name.
    control<QLineEdit>(form, "txtName")->setText(QStringLiteral("  "));
    click(form, "com3to4");
    EXPECT_EQ(form.currentPage(), 4);
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("5/5 設定完了"));
    EXPECT_EQ(form.modePanelText(), QString::fromUtf8(mode.modeText) + QStringLiteral(":Winamp"));
    EXPECT_TRUE(form.wizardSettings().atArtist);
    EXPECT_EQ(form.wizardSettings().name, QStringLiteral("  "));
    auto* progress = control<QProgressBar>(form, "PB");
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(progress->maximum(), 3);
    EXPECT_EQ(control<QPushButton>(form, "com4")->text(), QStringLiteral("開始"));
    EXPECT_FALSE(control<QPushButton>(form, "com4Copy")->isEnabled());
    EXPECT_FALSE(form.isTopmost());

    // Back from the Run page: page 4 as it was left, not reloaded.
    click(form, "com4to3");
    EXPECT_EQ(form.currentPage(), 3);
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("4/5 その他の設定"));
    EXPECT_EQ(control<QLineEdit>(form, "txtName")->text(), QStringLiteral("  "));
    EXPECT_TRUE(control<QCheckBox>(form, "chkAtArtist")->isChecked());

    // Back to the first page: the mode panel empties, the window is released.
    click(form, "com3to2");
    click(form, "com2to1");
    EXPECT_TRUE(form.isTopmost());
    click(form, "Com1to0");
    EXPECT_EQ(form.currentPage(), 0);
    EXPECT_EQ(form.modePanelText(), QString());
    EXPECT_FALSE(form.isTopmost());
    form.close();
}

INSTANTIATE_TEST_SUITE_P(BothModes, NavigationTest, ::testing::ValuesIn(modeCases));

} // namespace
} // namespace tavorin::test
