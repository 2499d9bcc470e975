#pragma once

#include <QFrame>

class QPushButton;

namespace tavorin {

// One page panel of the wizard. A page owns its controls and only says where the user wants to
// go; the main window decides what happens on the way (Wizard Settings, titles, checks).
class WizardPage : public QFrame {
    Q_OBJECT
public:
    // An empty panel of the common page size, named panelName ("FrameMain_0" to "FrameMain_4").
    WizardPage(const QString& panelName, QWidget* parent);

    // The button Enter presses on this page, the one that moves on ("次へ", on the Run page
    // com4); Esc presses "戻る" where the page has one.
    QPushButton* defaultButton() const { return moveOnButton; }
    QPushButton* backButton() const { return goBackButton; }
    // Where the keyboard starts when the page is entered: the first thing to answer on it, so
    // the arrow keys, typing and Enter work at once; by default the button that moves on.
    virtual QWidget* entryFocus() const;

signals:
    void backRequested();
    void nextRequested();

protected:
    // "戻る" and "次へ" stand at the same places on every page.
    QPushButton* placeBackButton(const QString& controlName);
    QPushButton* placeNextButton(const QString& controlName);
    void setDefaultButton(QPushButton* button);

private:
    QPushButton* moveOnButton = nullptr;
    QPushButton* goBackButton = nullptr;
};

} // namespace tavorin
