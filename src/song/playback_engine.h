#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

class BlockFile;

// The song's tag texts (ID3v2, else ID3v1). Fields may hold NULs, as the library's do.
struct TagInfo {
    QString title;
    QString artist;
    QString album;
};

// The RIFF INFO texts of an RMP: "INAM", "IART", "IPRD".
struct RiffInfo {
    QString name;
    QString artist;
    QString product;
};

// Type Flags bit values.
namespace fileType {
inline constexpr std::uint32_t noMpegAudio = 1;
inline constexpr std::uint32_t rmpDataAt20 = 2; // RMP whose MPEG data starts at byte 20
inline constexpr std::uint32_t otherRiff = 4;
inline constexpr std::uint32_t unreadable = 8;
} // namespace fileType

// Everything the engine tells about one song file. A song without MPEG audio (or one that
// cannot be read) has only its Type Flags: no rate, no texts.
struct SongFacts {
    std::uint32_t fileType = 0;
    bool hasAudio = false;              // an MPEG audio frame was found
    std::int64_t audioStart = 0;        // the MPEG data's first byte after its leading ID3v2 tags
    std::int64_t audioEnd = 0;          // the end of the MPEG data: the file's, or its RMP chunk's
    std::int32_t sampleRate = 0;        // of the first MPEG audio frame
    std::int32_t firstFrameBitrate = 0; // 0 when the first frame is a VBR/info frame
    TagInfo tag;
    RiffInfo riff;
};

// The playback engine, so nothing else knows what reads the songs. It is initialised once,
// before the first song, and asked once per song.
class PlaybackEngine {
public:
    virtual ~PlaybackEngine() = default;
    virtual void init() = 0;
    virtual QString name() const = 0;
    // Version × 100.
    virtual std::int32_t version() const = 0;
    // The facts of the song opened as song (closed when it could not be opened), read through
    // it, so that one opening serves the engine and the frame walk after it.
    virtual SongFacts readSong(BlockFile& song) = 0;
    // How long the song plays, in ms; nothing when that cannot be told. Asked only for a
    // report of a run, never by the run itself.
    virtual std::optional<std::int32_t> lengthmSec(const QString& /*songPath*/) {
        return std::nullopt;
    }
};

} // namespace tavorin
