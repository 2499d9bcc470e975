#pragma once

#include "song/playback_engine.h"
#include "song/song_info.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

class BlockFile;

// Measures song files: sampling rate and texts from the engine, leading silence from the
// frame walk.
class SongMeasurer {
public:
    explicit SongMeasurer(PlaybackEngine& engine);

    // winampTime: the user's time base is Winamp Time (else Standard Time). The info's
    // decodeAudioStart decodes the MPEG data this measurement found (see decoded_start.h):
    // nothing for a song that cannot be decoded or is silent for 30 s; it is empty for a song
    // without MPEG audio.
    SongInfo measureSong(const QString& path, bool winampTime);

private:
    PlaybackEngine& engine;
};

// The silent frames at the start of the MPEG audio of song, whose facts the engine gave;
// 0 on any failure.
std::int32_t leadingSilentFrames(BlockFile& song, const SongFacts& facts, int tolerancePercent);

} // namespace tavorin
