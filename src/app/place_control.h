#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

namespace tavorin {

// Creates a control on a page at its designed place (pixels at 96 dots per inch) and names it
// after its control name, so tests and screenshots find it.
template <typename Control, typename... Args>
Control* placeControl(QWidget* parent, const QString& controlName, const QRect& geometry,
                      Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(controlName);
    control->setGeometry(geometry);
    return control;
}

// Every page panel: 297 x 201 pixels; "戻る" and "次へ" at the same places on every page.
inline constexpr QSize pageSize{297, 201};
inline constexpr QRect backButtonGeometry{168, 168, 57, 25};
inline constexpr QRect nextButtonGeometry{232, 168, 57, 25};

} // namespace tavorin
