#include "app/mode_page.h"

#include "app/click_filter.h"
#include "app/place_control.h"
#include "app/program_picture.h"
#include "app/wizard_texts.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tavorin {

ModePage::ModePage(QWidget* parent) : WizardPage(QStringLiteral("FrameMain_0"), parent) {
    lbl1 = placeControl<QLabel>(this, QStringLiteral("lbl1"), QRect(8, 8, 281, 34));
    const QString modeTip = QStringLiteral("処理モードを選択してください。");
    opt1[0] = placeControl<QRadioButton>(this, QStringLiteral("opt1_0"), QRect(24, 50, 200, 20),
                                         QStringLiteral("新規追加"));
    opt1[1] = placeControl<QRadioButton>(this, QStringLiteral("opt1_1"), QRect(24, 72, 200, 20),
                                         QStringLiteral("補正変換"));
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        opt1[i]->setToolTip(modeTip);
        group->addButton(opt1[i], i);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int index) {
        explainMode(index == 0);
        emit modeChosen(index == 0);
    });

    image1 = placeControl<QLabel>(this, QStringLiteral("Image1"), QRect(249, 54, 32, 32));
    image1->setPixmap(programPicture(32));
    image1->setCursor(Qt::PointingHandCursor);
    image1->setToolTip(
        QStringLiteral("クリックすると、このプログラムについての情報を表示します。"));
    connect(ClickFilter::watch(image1), &ClickFilter::clicked, this, &ModePage::aboutRequested);

    lblExplain2 = placeControl<QLabel>(this, QStringLiteral("lblExplain2"), QRect(8, 100, 281, 58));
    lblExplain2->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblExplain = placeControl<QLabel>(this, QStringLiteral("lblExplain"), QRect(16, 106, 265, 46));
    lblExplain->setWordWrap(true);
    lblExplain->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    com1Help = placeControl<QPushButton>(this, QStringLiteral("com1Help"), QRect(8, 168, 81, 25),
                                         QStringLiteral("簡易ヘルプ"));
    connect(com1Help, &QPushButton::clicked, this, &ModePage::helpRequested);
    com0to1 = placeNextButton(QStringLiteral("com0to1"));
}

void ModePage::load(const WizardSettings& settings) {
    opt1[settings.newMode ? 0 : 1]->setChecked(true);
    explainMode(settings.newMode);
    // Both lines begin with an ideographic space.
    lbl1->setText(QStringLiteral("　複数ファイルの補正処理を行います。\r\n"
                                 "　まずは行いたい処理を選択してください。"));
}

bool ModePage::newModeSelected() const {
    return opt1[0]->isChecked();
}

QString ModePage::modeText() const {
    return newModeSelected() ? QStringLiteral("補正データ新規追加") : QStringLiteral("補正変換");
}

QWidget* ModePage::entryFocus() const {
    return opt1[newModeSelected() ? 0 : 1];
}

void ModePage::explainMode(bool newMode) {
    lblExplain->setText(keepAtTagWhole(
        newMode
            ? QStringLiteral("同名の曲ファイルの情報から、歌詞ファイルに新しく＠タグを追加します。")
            : QStringLiteral("＠タグ付き歌詞ファイルと、同名の曲ファイルを比較して、歌詞のタイ"
                             "ムタグ補正を行います。")));
}

} // namespace tavorin
