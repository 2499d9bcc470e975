#pragma once

#include <QString>

namespace tavorin {

// Every option the user sets in the wizard; fields are named after their settings keys.
struct WizardSettings {
    bool newMode = true;  // true: New-Tag Mode, false: Correction Mode
    QString name;
    QString songFolder;  // ends in the path separator, or empty for none
    bool winampTime = true;
    bool atFirstSameFolder = true;
    bool rmp = false;
    bool karaoke = true;
    bool atArtist = false;
    bool silencemSec = true;
    bool defaultTime = true;
    bool ignoreAtTag = true;
    bool ignoreOwn = true;
};

} // namespace tavorin
