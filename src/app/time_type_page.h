#pragma once

#include "app/wizard_page.h"
#include "settings/wizard_settings.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tavorin {

// Page 3 of 5: the time types, and which files to skip.
class TimeTypePage : public WizardPage {
    Q_OBJECT
public:
    explicit TimeTypePage(QWidget* parent = nullptr);

    // All four controls are set whatever the mode, hidden ones included; then the captions and
    // which of Frame22 / chkIgnoreAtTag and chkIgnoreOwn are shown follow NewMode.
    void load(const WizardSettings& settings);
    void store(WizardSettings& settings) const;
    // The chosen time type's option.
    QWidget* entryFocus() const override;

    QGroupBox* frame21;
    std::array<QRadioButton*, 2> opt2;
    QGroupBox* frame22;
    std::array<QRadioButton*, 2> opt22;
    QCheckBox* chkIgnoreAtTag;
    QCheckBox* chkIgnoreOwn;
    QPushButton* com2to1;
    QPushButton* com2to3;
};

} // namespace tavorin
