#include "song/song_measurer.h"

#include "shell/block_file.h"
#include "song/decoded_start.h"
#include "song/frame_header.h"
#include "song/song_texts.h"
#include "song/time_base.h"

#include <cmath>
#include <limits>

namespace tavorin {

namespace {

constexpr int measureTolerancePercent = 5;
// The silent-frame count is a 16-bit counter; passing its top is a failure.
constexpr std::int32_t maxSilentFrames = 32767;

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
    BlockFile song(path);
    const SongFacts facts = engine.readSong(song);

    SongInfo info;
    info.sampleRate = facts.sampleRate != 0 ? facts.sampleRate : 44100;
    const std::int32_t frames = leadingSilentFrames(song, facts, measureTolerancePercent);
    // Halves go to the even neighbour (the default rounding mode).
    info.silencemSec = static_cast<std::int32_t>(
        std::nearbyint(frameSamples / (info.sampleRate / 1000.0) * frames));
    info.timeRatio = winampTime ? winampRatio(info.sampleRate, frameSamples) : 1.0;
    chooseSongTexts(facts.riff, facts.tag, info);
    // Where the MPEG data lies is known now; only the decoding is left for later.
    if (song.isOpen() && facts.hasAudio) {
        info.decodeAudioStart = [path, from = facts.audioStart, to = facts.audioEnd] {
            BlockFile reopened(path);
            return decodedStartmSec(
                [&](std::int64_t offset, std::int64_t length) {
                    return reopened.bytesAt(offset, length);
                },
                from, to);
        };
    }
    return info;
}

std::int32_t leadingSilentFrames(BlockFile& song, const SongFacts& facts, int tolerancePercent) {
    if (!song.isOpen() || !facts.hasAudio ||
        (facts.fileType & (fileType::unreadable | fileType::otherRiff | fileType::noMpegAudio)) !=
            0 ||
        facts.audioStart > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    const auto start = static_cast<std::int32_t>(facts.audioStart);
    const auto tolerance = static_cast<std::int16_t>(std::floor(tolerancePercent / 100.0 * -8.0));

    std::int32_t position = start;
    std::int32_t silent = 0;
    FrameHeader header;
    if (facts.firstFrameBitrate == 0) {
        // The first frame holds the encoder's info header, no audio: skip it, count it silent.
        const auto bytes = song.blockRead(position, 4);
        if (!bytes || !decodeFrameHeader(*bytes, header) || header.frameLength <= 0 ||
            header.frameLength > std::numeric_limits<std::int32_t>::max() - start) {
            return 0;
        }
        position = start + header.frameLength;
        silent = 1;
    }

    for (;;) {
        const auto headerBytes = song.blockRead(position, 4);
        if (!headerBytes) {
            return 0;
        }
        position -= 4;
        if (!decodeFrameHeader(*headerBytes, header)) {
            return 0;
        }
        // Past the end of the file the bytes read as 0, a frame of length 0 that cannot be
        // read: a song silent to its end measures 0.
        const auto frame = song.blockRead(position, header.frameLength);
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
