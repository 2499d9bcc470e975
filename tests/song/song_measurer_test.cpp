#include "fake_playback_engine.h"
#include "shell/block_file.h"
#include "song/song_measurer.h"
#include "song_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using test::frames;
using test::stereoHeader;

// What an engine says of a readable MPEG song, but for the given facts.
SongFacts facts(std::int32_t firstFrameBitrate = 128, std::uint32_t flags = 0,
                std::int64_t audioStart = 0, bool hasAudio = true) {
    return {flags, hasAudio, audioStart, 44100, firstFrameBitrate, {}, {}};
}

TEST(LeadingSilentFramesTest, CountsSilentFramesUntilTheFirstLoudOne) {
    const QByteArray loudEverywhere = frames(1, stereoHeader, '\0', 100).repeated(4);
    const QByteArray audio = frames(4, stereoHeader, '\0', 77);
    const QByteArray crcMono = QByteArray::fromHex("FFFA90C0"); // payload from byte 23
    const auto oneByteFrames = [](int count) {
        return QByteArray(count, '\x02') + '\x80' + QByteArray(500, '\x01');
    };
    const struct {
        const char* what;
        QByteArray song;
        SongFacts facts;
        std::int32_t silent;
    } cases[] = {
        {"plain", audio, facts(), 3},
        {"side information is no payload",
         frames(3, stereoHeader, '\0', 35) + frames(1, stereoHeader, '\0', 36), facts(), 3},
        {"CRC is no payload", frames(3, crcMono, '\0', 22) + frames(1, crcMono, '\0', 23), facts(),
         3},
        {"the last byte is payload", frames(3, stereoHeader, '\0', test::frameBytes - 1), facts(),
         2},
        {"info frame skipped and counted", loudEverywhere, facts(0), 1},
        {"no info frame", loudEverywhere, facts(), 0},
        // A 576-byte frame at 32 kHz.
        {"info frame's own length", QByteArray::fromHex("FFFB9800") + QByteArray(572, 'I') + audio,
         facts(0), 4},
        {"walk from the audio start", QByteArray(20, 'x') + audio, facts(128, 0, 20), 3},
        {"0xFF is silence", frames(3, stereoHeader, '\xFF', 50), facts(), 2},
        {"0xFE is not", frames(1, stereoHeader, '\xFE'), facts(), 0},
        {"silent to the end", frames(12), facts(), 0},
        {"cut in silence", frames(12).chopped(100), facts(), 0},
        // A free-format frame 1 byte long, then an MPEG-2.5 frame whose payload is loud.
        {"frame shorter than its side information",
         QByteArray::fromHex("FFFB028000") + QByteArray(26, '\0') + '\x01' + QByteArray(393, '\0'),
         facts(), 1},
        {"1000 one-byte frames", oneByteFrames(1002), facts(), 1000},
        {"counter at its top", oneByteFrames(32769), facts(), 32767},
        {"counter past its top", oneByteFrames(32770), facts(), 0},
        {"forbidden bitrate index", frames(2) + QByteArray::fromHex("FFFBF000") + audio, facts(),
         0},
        {"no MPEG audio", audio, facts(128, fileType::noMpegAudio), 0},
        {"other RIFF", audio, facts(128, fileType::otherRiff), 0},
        {"unreadable", audio, facts(128, fileType::unreadable), 0},
        {"information call failed", audio, facts(128, 0, 0, false), 0},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(test::writeFile(path, c.song));
        BlockFile song(path);
        EXPECT_EQ(leadingSilentFrames(song, c.facts, 5), c.silent);
    }
}

// The engine is asked once per song, and its rate and texts reach the Song Info.
TEST(SongMeasurerTest, SilenceRateTimeRatioAndTexts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    FakePlaybackEngine engine;
    engine.facts.riff.name = QStringLiteral("Riff");
    for (const QStringList& row : test::readTable(QStringLiteral("song/measurements.tsv"))) {
        SCOPED_TRACE(row.join(QLatin1Char(' ')).toStdString());
        ASSERT_TRUE(test::writeFile(path, frames(row[1].toInt() + 1, stereoHeader, '\0', 99)));
        engine.facts.sampleRate = row[0].toInt();
        const int asked = engine.songsRead;
        const SongInfo info = SongMeasurer(engine).measureSong(path, row[2] == QStringLiteral("1"));
        EXPECT_EQ(engine.songsRead, asked + 1);
        EXPECT_EQ(
            std::tuple(info.sampleRate, info.silencemSec, info.timeRatio, info.title),
            std::tuple(row[3].toInt(), row[4].toInt(), row[5].toDouble(), QStringLiteral("Riff")));
    }
}

} // namespace
} // namespace tavorin
