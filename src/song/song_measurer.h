#pragma once

#include "song/playback_engine.h"
#include "song/song_info.h"

#include <QString>

#include <cstdint>

namespace tavorin {

class BlockFile;

// Measures song files: sampling rate and texts from the engine, leading silence from the
// frame walk.
class SongMeasurer {
public:
    explicit SongMeasurer(PlaybackEngine& engine);

    // winampTime: the user's time base is Winamp Time (else Standard Time).
    SongInfo measureSong(const QString& path, bool winampTime);

private:
    PlaybackEngine& engine;
};

// The silent frames at the start of the MPEG audio of song, whose facts the engine gave;
// 0 on any failure.
std::int32_t leadingSilentFrames(BlockFile& song, const SongFacts& facts, int tolerancePercent);

} // namespace tavorin
