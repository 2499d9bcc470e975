#pragma once

#include "song/playback_engine.h"

namespace tavorin {

// A playback engine that answers every song with the facts a test sets, and counts its
// initialisations and the songs it was asked about.
class FakePlaybackEngine : public PlaybackEngine {
public:
    SongFacts facts{0, true, 0, 0, 44100, 128, {}, {}};
    int initCount = 0;
    int songsRead = 0;
    std::int32_t engineVersion = 100;

    void init() override { ++initCount; }
    QString name() const override { return QStringLiteral("FakeEngine"); }
    std::int32_t version() const override { return engineVersion; }
    SongFacts readSong(BlockFile& /*song*/) override {
        ++songsRead;
        return facts;
    }
};

} // namespace tavorin
