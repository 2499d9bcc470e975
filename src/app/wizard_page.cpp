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
    return button;
}

QPushButton* WizardPage::placeNextButton(const QString& controlName) {
    auto* button =
        placeControl<QPushButton>(this, controlName, nextButtonGeometry, QStringLiteral("次へ"));
    connect(button, &QPushButton::clicked, this, &WizardPage::nextRequested);
    return button;
}

} // namespace tavorin
