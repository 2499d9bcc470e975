#include "app/time_type_page.h"

#include "app/place_control.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace tavorin {

namespace {

// A group of the two time types, "Winamp時間" at index 0.
std::array<QRadioButton*, 2> placeTimeTypeOptions(QGroupBox* group, const QString& name) {
    std::array<QRadioButton*, 2> options{
        placeControl<QRadioButton>(group, name + QStringLiteral("_0"), QRect(16, 20, 120, 20),
                                   QStringLiteral("Winamp時間")),
        placeControl<QRadioButton>(group, name + QStringLiteral("_1"), QRect(144, 20, 120, 20),
                                   QStringLiteral("標準時間"))};
    auto* buttons = new QButtonGroup(group);
    buttons->addButton(options[0], 0);
    buttons->addButton(options[1], 1);
    return options;
}

} // namespace

TimeTypePage::TimeTypePage(QWidget* parent) : WizardPage(QStringLiteral("FrameMain_2"), parent) {
    frame21 = placeControl<QGroupBox>(this, QStringLiteral("Frame21"), QRect(8, 6, 281, 50));
    opt2 = placeTimeTypeOptions(frame21, QStringLiteral("opt2"));
    frame22 = placeControl<QGroupBox>(this, QStringLiteral("Frame22"), QRect(8, 64, 281, 50),
                                      QStringLiteral("＠タグがない歌詞は、どちらと仮定しますか?"));
    opt22 = placeTimeTypeOptions(frame22, QStringLiteral("opt22"));

    // Shares its place with Frame22: only one of the two is shown in either mode.
    chkIgnoreAtTag = placeControl<QCheckBox>(
        this, QStringLiteral("chkIgnoreAtTag"), QRect(8, frame22->y(), 281, 20),
        QStringLiteral("すでに＠タグ補正値がある場合は無視する"));
    chkIgnoreOwn =
        placeControl<QCheckBox>(this, QStringLiteral("chkIgnoreOwn"), QRect(8, 124, 281, 20),
                                QStringLiteral("すでに自分に合わせた曲は変換しない"));
    chkIgnoreOwn->setToolTip(QStringLiteral(
        "あなたの名前と@EditedByが一致しているとき、あるいは、あなたの名前と@TaggingByが一致"
        "していて@EditedByがないときは処理をしない、という場合はチェックを付けてください。"));

    com2to1 = placeBackButton(QStringLiteral("com2to1"));
    com2to3 = placeNextButton(QStringLiteral("com2to3"));
}

void TimeTypePage::load(const WizardSettings& settings) {
    opt2[settings.winampTime ? 0 : 1]->setChecked(true);
    chkIgnoreAtTag->setChecked(settings.ignoreAtTag);
    opt22[settings.defaultTime ? 0 : 1]->setChecked(true);
    chkIgnoreOwn->setChecked(settings.ignoreOwn);

    const bool newMode = settings.newMode;
    frame21->setTitle(newMode ? QStringLiteral("タグ付けしたときのタイムタイプはどちらでしたか?")
                              : QStringLiteral("どちらの時間に変換しますか?"));
    frame22->setVisible(!newMode);
    chkIgnoreAtTag->setVisible(newMode);
    chkIgnoreOwn->setVisible(!newMode);
}

QWidget* TimeTypePage::entryFocus() const {
    return opt2[opt2[0]->isChecked() ? 0 : 1];
}

void TimeTypePage::store(WizardSettings& settings) const {
    settings.winampTime = opt2[0]->isChecked();
    settings.defaultTime = opt22[0]->isChecked();
    settings.ignoreAtTag = chkIgnoreAtTag->checkState() == Qt::Checked;
    settings.ignoreOwn = chkIgnoreOwn->checkState() == Qt::Checked;
}

} // namespace tavorin
