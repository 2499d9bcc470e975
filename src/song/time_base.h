#pragma once

#include <cstdint>

namespace tavorin {

// Every time-base calculation counts a frame as 1152 samples, whatever the MPEG version.
inline constexpr std::int16_t frameSamples = 1152;
// The Winamp Ratio of 44100 Hz: the very double winampRatio(44100) gives.
inline constexpr double defaultWinampRatio = 0.9953125;

// A time in Winamp Time equals Standard Time multiplied by this ratio. A rate or frame size
// of 0 or below counts as 44100 Hz or 1152 samples.
double winampRatio(std::int32_t sampleRate, std::int16_t samplesPerFrame = frameSamples);
// The standard sampling rate nearest to what a frame count and a length in seconds imply;
// 44100 when either is 0.
std::int32_t sampleRateEstimate(std::int32_t frames, std::int32_t totalSeconds);

} // namespace tavorin
