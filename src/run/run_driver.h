#pragma once

#include "run/run_host.h"
#include "settings/wizard_settings.h"

#include <QStringList>

namespace tavorin {

class PlaybackEngine;

struct RunSummary {
    bool aborted = false;
    int filesHandled = 0;
    int readFailures = 0;   // lyrics files that could not be read
    int writeFailures = 0;  // lyrics files that could not be written
};

// One run over the list of lyrics files in the mode the settings choose.
class RunDriver {
public:
    RunDriver(RunHost& host, PlaybackEngine& engine);

    // lyricsFiles in list order. dryRun: everything but the writing.
    RunSummary run(const QStringList& lyricsFiles, const WizardSettings& settings,
                   bool dryRun = false);

private:
    RunHost& host;
    PlaybackEngine& engine;
};

} // namespace tavorin
