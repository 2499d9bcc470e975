#include "song/song_measurer.h"

#include "shell/block_file.h"
#include "song/frame_header.h"
#include "song/id3v2_header.h"
#include "song/song_texts.h"
#include "song/time_base.h"

#include <cmath>
#include <limits>

namespace tavorin {

namespace {

constexpr int measureTolerancePercent = 5;
// An RMP with its "data" chunk first holds its MPEG data after the 12-byte RIFF header and
// the 8-byte chunk header.
constexpr std::int32_t rmpDataStart = 20;
// The silent-frame count is a 16-bit counter; passing its top is a failure.
constexpr std::int32_t maxSilentFrames = 32767;
constexpr int maxLeadingTags = 8;

// The first byte after the ID3v2 tags that open the MPEG data, so the walk starts at the
// first frame rather than decoding tag bytes as frame headers.
std::int32_t afterLeadingTags(BlockFile& file, std::int32_t start) {
    for (int n = 0; n < maxLeadingTags; ++n) {
        std::int32_t position = start;
        const auto header = file.blockRead(position, id3v2HeaderSize);
        const auto size = header ? id3v2TagSize(*header) : std::nullopt;
        if (!size || start + *size > std::numeric_limits<std::int32_t>::max()) {
            break;
        }
        start += static_cast<std::int32_t>(*size);
    }
    return start;
}

bool isLoud(QByteArrayView frame, std::int32_t from, std::int16_t tolerance) {
    int count = 0;
    for (qsizetype i = from; i < frame.size(); ++i) {
        const auto byte = static_cast<unsigned char>(frame[i]);
        // Encoders fill the payload of silent frames with 0x00 or 0xFF bytes.
        if (byte != 0x00 && byte != 0xFF) {
            ++count;
            if (count > tolerance) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

SongMeasurer::SongMeasurer(PlaybackEngine& playbackEngine) : engine(playbackEngine) {}

SongInfo SongMeasurer::measureSong(const QString& path, bool winampTime) {
    // One opening of the song serves the engine's questions and the frame walk.
    BlockFile song(path);
    TagInfo tag;
    MpegInfo mpeg;
    RiffInfo riff;
    engine.fileInfo2(path, song, tag, mpeg, riff);

    SongInfo info;
    info.sampleRate = mpeg.sampleRate != 0 ? mpeg.sampleRate : 44100;
    const std::int32_t frames = leadingSilenceScan(path, song, measureTolerancePercent);
    // Halves go to the even neighbour (the default rounding mode).
    info.silencemSec = static_cast<std::int32_t>(
        std::nearbyint(frameSamples / (info.sampleRate / 1000.0) * frames));
    info.timeRatio = winampTime ? winampRatio(info.sampleRate, frameSamples) : 1.0;
    chooseSongTexts(riff, tag, info);
    return info;
}

std::int32_t SongMeasurer::leadingSilenceScan(const QString& path, int tolerancePercent) {
    BlockFile song(path);
    return leadingSilenceScan(path, song, tolerancePercent);
}

std::int32_t SongMeasurer::leadingSilenceScan(const QString& path, BlockFile& file,
                                              int tolerancePercent) {
    // A song that cannot be opened (missing, say) measures 0 before the engine is asked.
    if (!file.isOpen()) {
        return 0;
    }
    const std::uint32_t flags = engine.fileType(path, file);
    TagInfo tag;
    MpegInfo mpeg;
    if (!engine.fileInfo(path, file, tag, mpeg) ||
        (flags & (fileType::unreadable | fileType::otherRiff | fileType::noMpegAudio)) != 0) {
        return 0;
    }
    const std::int32_t start =
        afterLeadingTags(file, (flags & fileType::rmpDataAt20) != 0 ? rmpDataStart : 0);
    const auto tolerance = static_cast<std::int16_t>(std::floor(tolerancePercent / 100.0 * -8.0));

    std::int32_t position = start;
    std::int32_t silent = 0;
    FrameHeader header;
    if (mpeg.firstFrameBitrate == 0) {
        // The first frame holds the encoder's info header, no audio: skip it, count it silent.
        const auto bytes = file.blockRead(position, 4);
        if (!bytes || !decodeFrameHeader(*bytes, header) || header.frameLength <= 0) {
            return 0;
        }
        position = start + header.frameLength;
        silent = 1;
    }

    for (;;) {
        const auto headerBytes = file.blockRead(position, 4);
        if (!headerBytes) {
            return 0;
        }
        position -= 4;
        if (!decodeFrameHeader(*headerBytes, header)) {
            return 0;
        }
        // Past the end of the file the bytes read as 0, a frame of length 0 that cannot be
        // read: a song silent to its end measures 0.
        const auto frame = file.blockRead(position, header.frameLength);
        if (!frame) {
            return 0;
        }
        if (isLoud(*frame, header.dataOffset, tolerance)) {
            return silent;
        }
        if (++silent > maxSilentFrames) {
            return 0;
        }
    }
}

} // namespace tavorin
