#pragma once

#include "song/playback_engine.h"
#include "song/song_info.h"

#include <QString>

#include <cstdint>

namespace tavorin {

class BlockFile;

// Measures song files: sampling rate from the engine, leading silence from the frame walk.
class SongMeasurer {
public:
    explicit SongMeasurer(PlaybackEngine& engine);

    // winampTime: the user's time base is Winamp Time (else Standard Time).
    SongInfo measureSong(const QString& path, bool winampTime);
    // Leading silent frames; 0 on any failure.
    std::int32_t leadingSilenceScan(const QString& path, int tolerancePercent);

private:
    // The same of the song at path, opened as song.
    std::int32_t leadingSilenceScan(const QString& path, BlockFile& song, int tolerancePercent);

    PlaybackEngine& engine;
};

} // namespace tavorin
