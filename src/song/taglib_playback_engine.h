#pragma once

#include "shell/block_file.h"
#include "song/playback_engine.h"

#include <memory>

namespace tavorin {

// The playback engine on TagLib (ID3v2 and ID3v1 tags) and our own RIFF chunk reader. It
// reads only what it needs of a song: the RIFF chunk headers, the leading ID3v2 tag, the
// first MPEG audio frame, the ID3v1 tag and an RMP's INFO list, never the whole song.
class TaglibPlaybackEngine : public PlaybackEngine {
public:
    TaglibPlaybackEngine();
    ~TaglibPlaybackEngine() override;

    // Lets TagLib read single-byte tag texts as code page 932, as Japanese taggers write them.
    void init() override;
    QString name() const override;
    std::int32_t version() const override;
    std::uint32_t fileType(const QString& path) override;
    bool fileInfo(const QString& path, TagInfo& tag, MpegInfo& mpeg) override;
    void fileInfo2(const QString& path, TagInfo& tag, MpegInfo& mpeg, RiffInfo& riff) override;
    std::uint32_t fileType(const QString& path, BlockFile& song) override;
    bool fileInfo(const QString& path, BlockFile& song, TagInfo& tag, MpegInfo& mpeg) override;
    void fileInfo2(const QString& path, BlockFile& song, TagInfo& tag, MpegInfo& mpeg,
                   RiffInfo& riff) override;

private:
    struct SongFacts;
    struct CachedSong;
    static SongFacts readFacts(BlockFile& song);
    const SongFacts& factsOf(const QString& path);
    const SongFacts& factsOf(const QString& path, BlockFile& song);

    std::unique_ptr<CachedSong> lastSong; // the song the last call read
};

} // namespace tavorin
