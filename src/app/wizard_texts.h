#pragma once

#include <QString>

namespace tavorin {

// The program's title: window caption and message box title.
inline QString wizardTitle() {
    return QStringLiteral("Tavorin補正Wizard");
}

// The quick-help document's file name.
inline QString quickHelpFileName() {
    return QStringLiteral("Tavorin補正Wizard.txt");
}

} // namespace tavorin
