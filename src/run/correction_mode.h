#pragma once

#include "run/lyrics_file_steps.h"

#include <QStringList>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tavorin {

// What the silence shift compares: the silent frames at the start of each recording
// ("@SilencemSec="), or where its music starts, decoded ("@AudioStartmSec="), which is used
// where both the file and the song have one.
enum class SilenceMeasure { FrameCount, DecodedStart };

// How one file's Time Tags move to the user's recording.
struct TimeCorrection {
    double fileRatio = 1.0; // the time base the tags were made in
    double songRatio = 1.0; // the time base of the user's song
    bool shiftSilence = false;
    std::int32_t fileSilence = 0; // leading silence the tags were made against, ms
    std::int32_t songSilence = 0; // leading silence of the user's song, ms
    SilenceMeasure silenceMeasure = SilenceMeasure::FrameCount; // of the two silences above
};

enum class CorrectionFailure {
    None,
    BadTimeRatio, // the file's time base is no time base a song can have
    OutOfRange,   // a corrected time does not fit in a Time Tag's milliseconds
};

// A time base differs from Standard Time by a fraction of a percent; a file that claims more
// than a factor of two either way holds garbage, and converting by it would wreck the tags.
bool isPlausibleTimeRatio(double ratio);

// The corrected time of one Time Tag: to Standard Time, shifted by the difference in leading
// silence (never below 0), into the song's time base, rounded half to even. Nothing when the
// result does not fit in a signed 32-bit number of milliseconds.
// Inline: a long word-timed file has hundreds of thousands of tags.
inline std::optional<std::int32_t> correctTagTime(std::int32_t time,
                                                  const TimeCorrection& correction) {
    double x = static_cast<double>(time) / correction.fileRatio;
    if (correction.shiftSilence) {
        x = x - correction.fileSilence + correction.songSilence;
        if (x < 0) {
            x = 0;
        }
    }
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
    x = std::nearbyint(x * correction.songRatio);
    if (!std::isfinite(x) || x < std::numeric_limits<std::int32_t>::min() ||
        x > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(x);
}

// Corrects every file of the list (in list order) to the user's recordings.
void runCorrectionMode(const QStringList& lyricsFiles, LyricsFileSteps& steps);

// One lyrics file, with its Run Log report.
void correctLyricsFile(const QString& lyricsPath, LyricsFileSteps& steps);

} // namespace tavorin
