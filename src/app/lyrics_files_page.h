#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace tavorin {

class LyricsFileListWidget;

// Page 2 of 5: the lyrics files dropped from the desktop.
class LyricsFilesPage : public QFrame {
    Q_OBJECT
public:
    explicit LyricsFilesPage(QWidget* parent = nullptr);

    QLabel* label1;
    LyricsFileListWidget* list1;
    QPushButton* com1clear;
    QPushButton* com1to0;
    QPushButton* com1to2;
};

} // namespace tavorin
