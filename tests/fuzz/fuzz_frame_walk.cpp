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

using namespace tavorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const QByteArray song = fuzz::bytesOf(data + 2, size - 2);
    FrameHeader header;
    decodeFrameHeader(song, header);
    isPlausibleFrameHeader(song);
    id3v2TagSize(song);

    const QString path = fuzz::writeScratchFile(QStringLiteral("song.mp3"), song);
    SongFacts facts;
    facts.fileType = data[0] & 0x0F;
    facts.hasAudio = (data[0] & 0x10) == 0;
    facts.audioStart = (data[0] & 0xE0) >> 3; // 0, 4, ..., 28
    facts.firstFrameBitrate = (data[1] & 1) != 0 ? 0 : 128;
    BlockFile file(path);
    fuzz::require(leadingSilentFrames(file, facts, data[1] >> 1) >= 0);

    TaglibPlaybackEngine engine;
    engine.init();
    const SongInfo info = SongMeasurer(engine).measureSong(path, true);
    fuzz::require(info.silencemSec >= 0 && info.sampleRate > 0);
    return 0;
}
