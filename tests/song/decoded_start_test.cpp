#include "song/decoded_start.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"
#include "song_test_support.h"

#include <algorithm>
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
    SongMeasurer measurer(engine);
    test::expectAnswers(u"song_starts/starts.tsv"_s, 2, [&](const QStringList& row) {
        const std::optional<std::int32_t> start =
            measurer.decodedStart(QStringLiteral(TAVORIN_TEST_DATA_DIR "/song_starts/") + row[0]);
        if (!start) {
            return u"none"_s;
        }
        return std::abs(*start - row[2].toInt()) <= row[1].toInt() ? row[2]
                                                                   : QString::number(*start);
    });
}

// Silent MPEG-1 Layer III frames (44.1 kHz mono, 417 bytes, no audio data) before a song whose
// music starts 525 ms into it (LAME, no stated delay), then silent frames after it: the start
// counts the frames before it, gives up past 30 s, and the decoding stops soon after the start.
TEST(DecodedStartTest, CountsEverySampleBeforeTheStartUpToThirtySeconds) {
    QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/song_starts/start500_lame_cbr_noinfo.mp3"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray song = file.readAll();
    const QByteArray silentFrame = test::buildBytes(u"frame:FFFB90C0"_s);
    for (const int framesBefore : {0, 1110, 1197}) {
        const QByteArray bytes =
            silentFrame.repeated(framesBefore) + song + silentFrame.repeated(2000);
        std::int64_t readUpTo = 0;
        const auto read = [&](std::int64_t offset, std::int64_t length) {
            readUpTo = std::max(readUpTo, offset + length);
            return bytes.mid(offset, length);
        };
        const std::optional<std::int32_t> start = decodedStartmSec(read, 0, bytes.size());
        const double expected = framesBefore * 1152 / 44.1 + 525;
        SCOPED_TRACE(framesBefore);
        if (expected > 30000) {
            EXPECT_EQ(start, std::nullopt);
        } else {
            ASSERT_TRUE(start);
            EXPECT_NEAR(*start, expected, 1.0);
            EXPECT_LT(readUpTo, framesBefore * 417 + song.size() + 32 * 1024);
        }
    }
}

} // namespace
} // namespace tavorin
