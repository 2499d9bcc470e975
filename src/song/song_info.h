#pragma once

#include <QString>

#include <cstdint>

namespace tavorin {

// What the system knows about one song file.
struct SongInfo {
    std::int32_t sampleRate = 44100;
    double timeRatio = 1.0;  // the user's time base for this song
    std::int32_t silencemSec = 0;
    QString artist;
    QString title;
    QString album;
};

} // namespace tavorin
