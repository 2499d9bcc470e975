#pragma once

#include <QString>

#include <cstdint>

namespace tavorin {

class BlockFile;

// The song's tag texts (ID3v2, else ID3v1). Fields may hold NULs, as the library's do.
struct TagInfo {
    QString title;
    QString artist;
    QString album;
};

// The stream facts the measurement relies on.
struct MpegInfo {
    std::int32_t firstFrameBitrate = 0; // 0 when the first frame is a VBR/info frame
    std::int32_t sampleRate = 0;        // of the first MPEG audio frame; 0 when none
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

// The playback engine: the five calls the system makes of it, so nothing else knows what
// reads the songs. Records are reset by the engine before it fills them.
class PlaybackEngine {
public:
    virtual ~PlaybackEngine() = default;
    virtual void init() = 0;
    virtual QString name() const = 0;
    // Version × 100.
    virtual std::int32_t version() const = 0;
    virtual std::uint32_t fileType(const QString& path) = 0;
    // False when the file cannot be read or holds no MPEG audio frame.
    virtual bool fileInfo(const QString& path, TagInfo& tag, MpegInfo& mpeg) = 0;
    virtual void fileInfo2(const QString& path, TagInfo& tag, MpegInfo& mpeg, RiffInfo& riff) = 0;

    // The same three calls about the song at path that the caller holds open as song (closed
    // when it could not be opened), so that a measurement opens each song once: an engine
    // that reads songs itself reads this one through song. Unless overridden they ask by path.
    virtual std::uint32_t fileType(const QString& path, BlockFile& /*song*/) {
        return fileType(path);
    }
    virtual bool fileInfo(const QString& path, BlockFile& /*song*/, TagInfo& tag, MpegInfo& mpeg) {
        return fileInfo(path, tag, mpeg);
    }
    virtual void fileInfo2(const QString& path, BlockFile& /*song*/, TagInfo& tag, MpegInfo& mpeg,
                           RiffInfo& riff) {
        fileInfo2(path, tag, mpeg, riff);
    }
};

} // namespace tavorin
