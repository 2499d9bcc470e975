#pragma once

#include "app/wizard_page.h"
#include "settings/wizard_settings.h"

#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavorin {

class ShellServices;

// Page 4 of 5: the user's name, the Song Folder and the other options.
class OtherSettingsPage : public WizardPage {
    Q_OBJECT
public:
    OtherSettingsPage(ShellServices& shell, QWidget* parent = nullptr);

    void load(const WizardSettings& settings);
    void store(WizardSettings& settings) const;
    // Why "次へ" cannot go on yet: the name goes into the At-Tags, so it must be given (a name
    // of blanks is a name). Empty when it can.
    QString missingInput() const;
    // Asks for the Song Folder; cancelling empties it.
    void chooseSongFolder();
    // The name: the one thing that must be typed.
    QWidget* entryFocus() const override;

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

private:
    ShellServices& shell;
};

} // namespace tavorin
