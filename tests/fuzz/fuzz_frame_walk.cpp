// The MPEG frame walk over arbitrary song bytes. The first two bytes choose what the playback
// engine says of the song (Type Flags, whether the first frame is an info frame); the rest is
// the song file. The real engine then measures the same file.
#include "fuzz/fuzz_support.h"
#include "song/fake_playback_engine.h"
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
    tavorin::FakePlaybackEngine fake;
    fake.flags = data[0] & 0x0F;
    fake.infoSucceeds = (data[0] & 0x10) == 0;
    fake.mpeg.firstFrameBitrate = (data[1] & 1) != 0 ? 0 : 128;
    const int tolerance = data[1] >> 1;
    if (tavorin::SongMeasurer(fake).leadingSilenceScan(path, tolerance) < 0) {
        std::abort();
    }

    tavorin::TaglibPlaybackEngine engine;
    const tavorin::SongInfo info = tavorin::SongMeasurer(engine).measureSong(path, true);
    if (info.silencemSec < 0 || info.sampleRate <= 0) {
        std::abort();
    }
    return 0;
}
