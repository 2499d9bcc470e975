#pragma once

#include "run/lyrics_file_steps.h"
#include "run/run_host.h"
#include "settings/wizard_settings.h"

#include <QStringList>

namespace tavorin {

class PlaybackEngine;

// One run over the list of lyrics files in the mode the settings choose: the Song Index, the
// opening line, the mode, the closing line and the status texts.
class RunDriver {
public:
    // write: what replaces each lyrics file (empty: the atomic writer on the disk).
    RunDriver(RunHost& runHost, PlaybackEngine& engine, LyricsWriter write = {});
    // Songs measured by measure instead of a playback engine, files written by write (tests).
    RunDriver(RunHost& runHost, SongMeasure measure, LyricsWriter write = {});

    // Hands each lyrics file's record to recorder when its turn ends; keepTexts: the records
    // also hold the file's text before and after.
    void recordFiles(LyricsFileRecorder recorder, bool keepTexts = false);

    // lyricsFiles in list order. dryRun: everything but the writing.
    RunSummary run(const QStringList& lyricsFiles, const WizardSettings& settings,
                   bool dryRun = false);

private:
    RunHost& host;
    SongMeasure measureSong;
    LyricsWriter writeLyrics;
    LyricsFileRecorder recordFile;
    bool keepTexts = false;
};

} // namespace tavorin
