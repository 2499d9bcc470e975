#include "app/other_settings_page.h"

#include "app/click_filter.h"
#include "app/place_control.h"
#include "app/shell_services.h"
#include "shell/path_utils.h"
#include "shell/text_helpers.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavorin {

namespace {

bool isChecked(const QCheckBox* box) {
    // A partly checked box counts as unchecked.
    return box->checkState() == Qt::Checked;
}

} // namespace

OtherSettingsPage::OtherSettingsPage(ShellServices& shellServices, QWidget* parent)
    : WizardPage(QStringLiteral("FrameMain_3"), parent), shell(shellServices) {
    label3 = placeControl<QLabel>(this, QStringLiteral("Label3"), QRect(8, 10, 84, 18),
                                  QStringLiteral("あなたの名前 ："));
    txtName = placeControl<QLineEdit>(this, QStringLiteral("txtName"), QRect(96, 8, 193, 22));
    txtName->setToolTip(QStringLiteral("@TaggingBy や @EditedBy に設定するあなたの名前です。"));

    frame1 = placeControl<QGroupBox>(this, QStringLiteral("Frame1"), QRect(8, 34, 281, 78),
                                     QStringLiteral("曲ファイル検索フォルダ："));
    lblSongFolder =
        placeControl<QLabel>(frame1, QStringLiteral("lblSongFolder"), QRect(8, 18, 265, 20));
    lblSongFolder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblSongFolder->setCursor(Qt::PointingHandCursor);
    lblSongFolder->setToolTip(QStringLiteral("歌詞と曲が違うフォルダにあるなら、ここをクリックし"
                                             "て、曲のあるフォルダを選んでください。"));
    connect(ClickFilter::watch(lblSongFolder), &ClickFilter::clicked, this,
            &OtherSettingsPage::chooseSongFolder);
    chkAtFirstSameFolder = placeControl<QCheckBox>(frame1, QStringLiteral("chkAtFirstSameFolder"),
                                                   QRect(8, 40, 265, 18),
                                                   QStringLiteral("歌詞と同じフォルダを優先する"));
    chkAtFirstSameFolder->setToolTip(
        QStringLiteral("上で設定したフォルダを先に検索するならチェックを外してください。"));
    chkRMP = placeControl<QCheckBox>(frame1, QStringLiteral("chkRMP"), QRect(8, 58, 265, 18),
                                     QStringLiteral("mp3ファイルよりrmpファイルを優先する"));
    chkRMP->setToolTip(QStringLiteral(
        "同じフォルダに同名のmp3とrmpがあった場合、どちらを優先するか選んでください。"));

    chkKaraoke =
        placeControl<QCheckBox>(this, QStringLiteral("chkKaraoke"), QRect(16, 114, 273, 18),
                                QStringLiteral("カラオケ逆転補正も行う"));
    chkKaraoke->setToolTip(QStringLiteral("カラオケ逆転補正を行うかどうか選んでください。"));
    chkAtArtist =
        placeControl<QCheckBox>(this, QStringLiteral("chkAtArtist"), QRect(16, 131, 273, 18),
                                QStringLiteral("@Artistなども対象にする"));
    chkAtArtist->setToolTip(QStringLiteral("曲のID3(SI)タグから、@Title, @Artist, @Album を読みと"
                                           "って付加するかどうか選んでください。"));
    chkSilencemSec =
        placeControl<QCheckBox>(this, QStringLiteral("chkSilencemSec"), QRect(16, 148, 273, 18),
                                QStringLiteral("出だしの無音部補正も行う"));
    chkSilencemSec->setToolTip(QStringLiteral(
        "補正変換時に、出だしの無音部補正（@SilencemSec）も行うかどうか選んでください。"));

    com3to2 = placeBackButton(QStringLiteral("com3to2"));
    com3to4 = placeNextButton(QStringLiteral("com3to4"));
}

void OtherSettingsPage::load(const WizardSettings& settings) {
    txtName->setText(settings.name);
    lblSongFolder->setText(settings.songFolder);
    chkAtFirstSameFolder->setChecked(settings.atFirstSameFolder);
    chkRMP->setChecked(settings.rmp);
    chkKaraoke->setChecked(settings.karaoke);
    chkAtArtist->setChecked(settings.atArtist);
    chkSilencemSec->setChecked(settings.silencemSec);
}

void OtherSettingsPage::store(WizardSettings& settings) const {
    settings.name = txtName->text();
    settings.songFolder = lblSongFolder->text();
    settings.atFirstSameFolder = isChecked(chkAtFirstSameFolder);
    settings.rmp = isChecked(chkRMP);
    settings.karaoke = isChecked(chkKaraoke);
    settings.atArtist = isChecked(chkAtArtist);
    settings.silencemSec = isChecked(chkSilencemSec);
}

QString OtherSettingsPage::missingInput() const {
    return txtName->text().isEmpty() ? QStringLiteral("名前は必ず入力してください。") : QString();
}

QWidget* OtherSettingsPage::entryFocus() const {
    return txtName;
}

void OtherSettingsPage::chooseSongFolder() {
    // From the Song Folder the user has, or from home: never the folder the wizard started in.
    const QString current = lblSongFolder->text();
    const QString startFolder =
        !current.isEmpty() && QFileInfo(current).isDir() ? current : QDir::homePath();
    const QString chosen = stripTrailingNuls(
        shell.chooseFolder(window(), QStringLiteral("フォルダを選択してください"), startFolder));
    // The chooser speaks "/"; the Song Folder is kept in the platform's own spelling.
    lblSongFolder->setText(
        chosen.isEmpty() ? QString() : withTrailingSeparator(QDir::toNativeSeparators(chosen)));
}

} // namespace tavorin
