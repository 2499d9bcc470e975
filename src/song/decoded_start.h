#pragma once

#include "song/riff_chunk_reader.h"

#include <cstdint>
#include <optional>

namespace tavorin {

// The decoded start: where the music of a song starts, as a gapless player plays it. The
// MPEG data is decoded (the encoder's delay and padding, where the stream states them,
// honoured) until the sound first reaches a level that hiss and dither never reach: the
// music starts at the first sample that brings the 10 ms ending with it to an RMS of
// -60 dBFS. Over 10 ms, hiss at -70 dBFS stays ten times below that in power, while the
// first loud samples of music pass it almost at once, so the moment found is where the
// music rises, not where a window that happens to hold it begins.
//
// It answers where the silent-frame count cannot: encoders that fill the silent start with
// the bits of the loud frames that follow leave no silent frames to count.

// Decoding stops at the start, and gives up on a song still silent after this long.
inline constexpr std::int32_t maxDecodedSeconds = 30;

// The decoded start in milliseconds (Standard Time, rounded half to even) of the MPEG data
// read reads in [from, to); nothing when it cannot be decoded or stays silent for
// maxDecodedSeconds.
std::optional<std::int32_t> decodedStartmSec(const ByteSource& read, std::int64_t from,
                                             std::int64_t to);

} // namespace tavorin
