#include "song/time_base.h"

#include "shell/number_format.h"

#include <cmath>

namespace tavorin {

// Winamp counts each frame as the whole milliseconds below its exact length. The ratio is
// then rounded to 15 significant digits so that 44100, 22050 and 11025 Hz all give the very
// double 0.9953125 that a lyrics file states and the default Winamp ratio holds; the plain
// division lands one unit in the last place below it.
double winampRatio(std::int32_t sampleRate, std::int16_t samplesPerFrame) {
    // An unknown rate counts as 44100 Hz, as in song measurement; a frame has 1152 samples.
    const double rate = sampleRate > 0 ? sampleRate : 44100;
    const double samples = samplesPerFrame > 0 ? samplesPerFrame : frameSamples;
    const double frameMs = samples / (rate / 1000.0);
    // Kept as a double, not a 16-bit count: a very low rate must not overflow it.
    const double wholeMs = std::floor(frameMs);
    return roundTo15Digits(wholeMs / frameMs);
}

std::int32_t sampleRateEstimate(std::int32_t frames, std::int32_t totalSeconds) {
    if (frames == 0 || totalSeconds == 0) {
        return 44100;
    }
    const double msPerFrame = static_cast<double>(totalSeconds) * 1000.0 / frames;
    // Compared as a double: a huge frame count for a short song must not overflow an int.
    const double estimate = std::floor(1152000.0 / msPerFrame);

    // Each bound is the midpoint between two neighbouring standard rates (11512.5 and
    // 9512.5 taken as 11512 and 9512).
    struct Band {
        double above;
        std::int32_t rate;
    };
    static constexpr Band bands[] = {
        {46050, 48000}, {38050, 44100}, {28000, 32000}, {23025, 24000},
        {19025, 22050}, {14000, 16000}, {11512, 12000}, {9512, 11025},
    };
    for (const Band& band : bands) {
        if (estimate > band.above) {
            return band.rate;
        }
    }
    return 8000;
}

} // namespace tavorin
