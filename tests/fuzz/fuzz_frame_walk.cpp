// The MPEG frame walk over arbitrary song bytes. The first two bytes choose the facts the walk
// is given of the song (Type Flags, whether the engine read it, where its audio starts,
// whether the first frame is an info frame, the tolerance); the rest is the song file. The
// real engine then measures the same file.
#include "fuzz/fuzz_support.h"
#include "shell/block_file.h"
#include "song/frame_header.h"
#include "song/id3v2_header.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const QByteArray song(reinterpret_cast<const char*>(data + 2),
                          static_cast<qsizetype>(size - 2));
    tavorin::FrameHeader header;
    tavorin::decodeFrameHeader(song, header);
    tavorin::isPlausibleFrameHeader(song);
    tavorin::id3v2TagSize(song);

    const QString path = tavorin::fuzz::writeScratchFile(QStringLiteral("song.mp3"), song);
    tavorin::SongFacts facts;
    facts.fileType = data[0] & 0x0F;
    facts.hasAudio = (data[0] & 0x10) == 0;
    facts.audioStart = (data[0] & 0xE0) >> 3; // 0, 4, ..., 28
    facts.firstFrameBitrate = (data[1] & 1) != 0 ? 0 : 128;
    const int tolerance = data[1] >> 1;
    tavorin::BlockFile file(path);
    if (tavorin::leadingSilentFrames(file, facts, tolerance) < 0) {
        std::abort();
    }

    tavorin::TaglibPlaybackEngine engine;
    engine.init();
    const tavorin::SongInfo info = tavorin::SongMeasurer(engine).measureSong(path, true);
    if (info.silencemSec < 0 || info.sampleRate <= 0) {
        std::abort();
    }
    return 0;
}
