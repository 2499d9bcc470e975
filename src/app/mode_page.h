#pragma once

#include "app/wizard_page.h"
#include "settings/wizard_settings.h"

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tavorin {

// Page 1 of 5: the processing mode.
class ModePage : public WizardPage {
    Q_OBJECT
public:
    explicit ModePage(QWidget* parent = nullptr);

    // Selects and explains the stored mode (opt1(0) for New-Tag Mode, opt1(1) for Correction
    // Mode) and introduces the wizard.
    void load(const WizardSettings& settings);
    bool newModeSelected() const;
    // "補正データ新規追加" or "補正変換", after the selected option.
    QString modeText() const;
    // The chosen mode's option.
    QWidget* entryFocus() const override;

    QLabel* lbl1;
    std::array<QRadioButton*, 2> opt1;
    QLabel* lblExplain2;
    QLabel* lblExplain;
    QLabel* image1;
    QPushButton* com1Help;
    QPushButton* com0to1;

signals:
    // An option of opt1 was clicked: true for "新規追加".
    void modeChosen(bool newMode);
    void helpRequested();
    // Image1 was clicked.
    void aboutRequested();

private:
    void explainMode(bool newMode);
};

} // namespace tavorin
