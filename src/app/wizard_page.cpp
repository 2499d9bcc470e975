#include "app/wizard_page.h"

#include "app/place_control.h"

#include <QPushButton>

namespace tavorin {

WizardPage::WizardPage(const QString& panelName, QWidget* parent) : QFrame(parent) {
    setObjectName(panelName);
    setFixedSize(pageSize);
}

QPushButton* WizardPage::placeBackButton(const QString& controlName) {
    auto* button =
        placeControl<QPushButton>(this, controlName, backButtonGeometry, QStringLiteral("戻る"));
    connect(button, &QPushButton::clicked, this, &WizardPage::backRequested);
    goBackButton = button;
    return button;
}

QPushButton* WizardPage::placeNextButton(const QString& controlName) {
    auto* button =
        placeControl<QPushButton>(this, controlName, nextButtonGeometry, QStringLiteral("次へ"));
    connect(button, &QPushButton::clicked, this, &WizardPage::nextRequested);
    setDefaultButton(button);
    return button;
}

QWidget* WizardPage::entryFocus() const {
    return moveOnButton;
}

void WizardPage::setDefaultButton(QPushButton* button) {
    moveOnButton = button;
    button->setDefault(true);
}

} // namespace tavorin
