#pragma once

#include "settings/wizard_settings.h"

#include <QFrame>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavorin {

class ShellServices;

// Page 4 of 5: the user's name, the Song Folder and the other options.
class OtherSettingsPage : public QFrame {
    Q_OBJECT
public:
    OtherSettingsPage(ShellServices& shell, QWidget* parent = nullptr);

    void load(const WizardSettings& settings);
    void store(WizardSettings& settings) const;
    // Asks for the Song Folder; cancelling empties it.
    void chooseSongFolder();

    QLabel* label3;
    QLineEdit* txtName;
    QGroupBox* frame1;
    QLabel* lblSongFolder;
    QCheckBox* chkAtFirstSameFolder;
    QCheckBox* chkRMP;
    QCheckBox* chkKaraoke;
    QCheckBox* chkAtArtist;
    QCheckBox* chkSilencemSec;
    QPushButton* com3to2;
    QPushButton* com3to4;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ShellServices& shell;
};

} // namespace tavorin
