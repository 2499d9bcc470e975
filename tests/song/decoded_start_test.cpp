#include "song/decoded_start.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"
#include "song_test_support.h"

#include <cstdlib>

namespace tavorin {
namespace {

using namespace Qt::StringLiterals;

// The same music after different silences (and after hiss) from every encoder, and songs with
// no start to find: the answer is the row's true start when the decoded start lies within the
// row's tolerance of it, else what was measured.
TEST(DecodedStartTest, FindsWhereTheMusicStartsWhateverTheEncoder) {
    TaglibPlaybackEngine engine;
    engine.init();
    test::expectAnswers(u"song_starts/starts.tsv"_s, 2, [&](const QStringList& row) {
        const QString path = QStringLiteral(TAVORIN_TEST_DATA_DIR "/song_starts/") + row[0];
        const SongInfo song = SongMeasurer(engine).measureSong(path, false);
        const int start = song.decodeAudioStart ? song.decodeAudioStart().value_or(-1) : -1;
        const bool near = std::abs(start - row[2].toInt()) <= row[1].toInt();
        return start < 0 ? u"none"_s : near ? row[2] : QString::number(start);
    });
}

// Silent MPEG-1 Layer III frames (44.1 kHz mono, 417 bytes, no audio data) before a song whose
// music starts 525 ms into it, and after it: every frame before counts, and past 30 s there is
// no start.
TEST(DecodedStartTest, CountsEverySampleBeforeTheStartUpToThirtySeconds) {
    QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/song_starts/start500_lame_cbr_noinfo.mp3"));
    const QByteArray song = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QByteArray silentFrame = test::buildBytes(u"frame:FFFB90C0"_s);
    for (const auto& [framesBefore, start] : {std::pair(0, 525), {1110, 29521}, {1197, -1}}) {
        const QByteArray bytes =
            silentFrame.repeated(framesBefore) + song + silentFrame.repeated(2000);
        const auto read = [&](std::int64_t at, std::int64_t length) {
            return bytes.mid(at, length);
        };
        EXPECT_EQ(decodedStartmSec(read, 0, bytes.size()).value_or(-1), start) << framesBefore;
    }
}

} // namespace
} // namespace tavorin
