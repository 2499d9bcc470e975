#pragma once

class QCoreApplication;

namespace tavorin {

// Qt's own texts (the folder chooser, the text boxes' context menus, the standard buttons) in
// Japanese like the rest of the wizard, whatever the desktop's language: Qt's Japanese
// catalogue from the folder where Qt keeps its translations. False when it is not installed;
// the wizard then shows those texts in English.
bool installQtJapanese(QCoreApplication& application);

} // namespace tavorin
