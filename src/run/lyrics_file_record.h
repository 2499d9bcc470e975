#pragma once

#include "shell/text_codec.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

enum class FileOutcome;

// What a run found and did for one lyrics file, filled in by its steps as they go and handed
// on when the file's turn ends: the facts a report of the run gives per file.
struct LyricsFileRecord {
    QString lyricsPath;
    QString songPath; // empty: no song found
    std::optional<FileOutcome> outcome;
    QString message;                             // the file's last Run Log line
    std::optional<TextEncoding> encoding;        // read, and written back in
    std::optional<double> ratioBefore;           // the file's time base as read
    std::optional<double> ratioAfter;            // the time base of what was (or would be) written
    std::optional<std::int32_t> fileSilencemSec; // as the file states it; -1: none stated
    std::optional<std::int32_t> songSilencemSec; // as measured in the song
    std::optional<std::int32_t> shiftmSec;       // how far the Time Tags moved for silence
    // What the shift compared: "silent_frames" ("@SilencemSec=") or "decoded_start"
    // ("@AudioStartmSec="); empty when the tags were not shifted.
    QString shiftMeasurement;
    int timeTagsChanged = 0;
    bool reversalRepaired = false;
    std::optional<std::int32_t> lastTimeTagmSec; // the latest Time Tag as written
    // Only when the run keeps texts (a preview): the file's text as read and as written.
    QString oldText;
    QString newText;
};

} // namespace tavorin
