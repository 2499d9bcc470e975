#pragma once

#include "app/wizard_page.h"

#include <QString>

class QLabel;
class QPushButton;

namespace tavorin {

class LyricsFileListWidget;

// Page 2 of 5: the lyrics files dropped from the desktop.
class LyricsFilesPage : public WizardPage {
    Q_OBJECT
public:
    explicit LyricsFilesPage(QWidget* parent = nullptr);

    // Why "次へ" cannot go on yet: a run needs at least one lyrics file. Empty when it can.
    QString missingInput() const;

    QLabel* label1;
    LyricsFileListWidget* list1;
    QPushButton* com1clear;
    QPushButton* com1to0;
    QPushButton* com1to2;
};

} // namespace tavorin
