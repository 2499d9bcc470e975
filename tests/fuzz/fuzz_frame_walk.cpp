// The MPEG frame walk over arbitrary song bytes. The first two bytes choose the facts the walk
// is given of the song (Type Flags, whether the engine read it, where its audio starts,
// whether the first frame is an info frame, the tolerance); the rest is the song file, which
// the RIFF chunk reader reads too and the real engine then measures and decodes.
#include "fuzz/fuzz_support.h"
#include "shell/block_file.h"
#include "song/riff_chunk_reader.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"

using namespace tavorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const QByteArray song(reinterpret_cast<const char*>(data) + 2,
                          static_cast<qsizetype>(size - 2));
    decodeInfoList(song);
    const auto read = [&song](std::int64_t offset, std::int64_t length) {
        return offset < 0 || length < 0 ? QByteArray() : song.mid(offset, length);
    };
    if (const auto layout = readRiffLayout(read, song.size())) {
        for (const auto& span : {layout->data, layout->info}) { // inside the file
            fuzz::require(!span || (span->offset >= 0 && span->size >= 0 &&
                                    span->offset + span->size <= song.size()));
        }
    }

    const QString path = fuzz::scratchFolder().filePath(QStringLiteral("song.mp3"));
    QFile file(path);
    fuzz::require(file.open(QIODevice::WriteOnly) && file.write(song) == song.size());
    file.close();
    SongFacts facts;
    facts.fileType = data[0] & 0x0F;
    facts.hasAudio = (data[0] & 0x10) == 0;
    facts.audioStart = (data[0] & 0xE0) >> 3; // 0, 4, ..., 28
    facts.firstFrameBitrate = (data[1] & 1) != 0 ? 0 : 128;
    BlockFile blocks(path);
    fuzz::require(leadingSilentFrames(blocks, facts, data[1] >> 1) >= 0);
    TaglibPlaybackEngine engine;
    engine.init();
    const SongInfo info = SongMeasurer(engine).measureSong(path, true);
    fuzz::require(info.silencemSec >= 0 && info.sampleRate > 0);
    // Whatever the decoder makes of the bytes, a start found lies within the 30 s decoded.
    fuzz::require(!info.decodeAudioStart || info.decodeAudioStart().value_or(0) <= 30000);
    return 0;
}
