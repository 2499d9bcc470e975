#include "app/lyrics_files_page.h"

#include "app/lyrics_file_list_widget.h"
#include "app/place_control.h"

#include <QLabel>
#include <QPushButton>

namespace tavorin {

LyricsFilesPage::LyricsFilesPage(QWidget* parent)
    : WizardPage(QStringLiteral("FrameMain_1"), parent) {
    // A label shows "&" as it is; the caption reads "Ｄ&Ｄ" with one ampersand.
    label1 = placeControl<QLabel>(this, QStringLiteral("Label1"), QRect(8, 8, 281, 18),
                                  QStringLiteral("歌詞ファイルを下の枠の中にＤ&Ｄして下さい。"));
    list1 = new LyricsFileListWidget(this);
    list1->setGeometry(8, 30, 281, 130);
    com1clear = placeControl<QPushButton>(this, QStringLiteral("com1clear"), QRect(8, 168, 57, 25),
                                          QStringLiteral("クリア"));
    com1to0 = placeBackButton(QStringLiteral("Com1to0"));
    com1to2 = placeNextButton(QStringLiteral("com1to2"));
    connect(com1clear, &QPushButton::clicked, list1, &LyricsFileListWidget::clearFiles);
}

QString LyricsFilesPage::missingInput() const {
    return list1->count() == 0 ? QStringLiteral("歌詞ファイルが登録されていません。") : QString();
}

} // namespace tavorin
