#pragma once

#include <QString>

namespace tavorin {

// The program's title: window caption and message box title.
inline QString wizardTitle() {
    return QStringLiteral("Tavorin補正Wizard");
}

// The quick-help document beside the program.
inline QString quickHelpFileName() {
    return QStringLiteral("Tavorin補正Wizard.txt");
}

// The program version shown by the about box.
inline constexpr double programVersion = 0.2;

} // namespace tavorin
