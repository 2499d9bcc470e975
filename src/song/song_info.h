#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace tavorin {

// What the system knows about one song file.
struct SongInfo {
    std::int32_t sampleRate = 44100;
    double timeRatio = 1.0;  // the user's time base for this song
    std::int32_t silencemSec = 0;
    // Decodes the song for its decoded start (song/decoded_start.h), in milliseconds; nothing
    // when it has none. Called only where the answer is used: decoding costs far more than
    // the rest of the measurement. Empty when the song cannot be decoded at all.
    std::function<std::optional<std::int32_t>()> decodeAudioStart;
    QString artist;
    QString title;
    QString album;
};

} // namespace tavorin
