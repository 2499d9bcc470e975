#pragma once

#include "song/playback_engine.h"

namespace tavorin {

// The playback engine on TagLib (ID3v2 and ID3v1 tags) and our own RIFF chunk reader. It
// reads only what it needs of a song: the RIFF chunk headers, the leading ID3v2 tag, the
// first MPEG audio frame, the ID3v1 tag and an RMP's INFO list, never the whole song.
class TaglibPlaybackEngine : public PlaybackEngine {
public:
    // Lets TagLib read single-byte tag texts as code page 932, as Japanese taggers write them.
    void init() override;
    QString name() const override;
    std::int32_t version() const override;
    SongFacts readSong(BlockFile& song) override;
    std::optional<std::int32_t> lengthmSec(const QString& songPath) override;
};

} // namespace tavorin
