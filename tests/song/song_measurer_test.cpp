#include "fake_playback_engine.h"
#include "shell/block_file.h"
#include "song/song_measurer.h"
#include "song_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using test::bytesOf;
using test::frames;

// What an engine says of a readable MPEG song, but for the given facts.
SongFacts facts(std::int32_t firstFrameBitrate = 128, std::uint32_t flags = 0,
                std::int64_t audioStart = 0, bool hasAudio = true) {
    return {flags, hasAudio, audioStart, 44100, firstFrameBitrate, {}, {}};
}

std::int32_t scan(const QByteArray& song, const SongFacts& songFacts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    EXPECT_TRUE(test::writeFile(path, song));
    BlockFile file(path);
    return leadingSilentFrames(file, songFacts, 5);
}

TEST(LeadingSilentFramesTest, PayloadStartsAfterHeaderCrcAndSideInformation) {
    const std::pair<QByteArray, int> cases[] = {
        {test::stereoHeader, 36},
        {test::monoHeader, 21},
        {bytesOf({0xFF, 0xFA, 0x90, 0x00}), 38},
        {bytesOf({0xFF, 0xFA, 0x90, 0xC0}), 23},
    };
    for (const auto& [h, payload] : cases) {
        SCOPED_TRACE(payload);
        EXPECT_EQ(scan(frames(3, h, '\0', payload - 1) + frames(1, h, '\0', payload), facts()), 3);
        EXPECT_EQ(scan(frames(3, h, '\0', test::frameBytes - 1), facts()), 2);
    }
}

TEST(LeadingSilentFramesTest, CountsSilentFramesUntilTheFirstLoudOne) {
    const QByteArray loudEverywhere = frames(1, test::stereoHeader, '\0', 100).repeated(4);
    const QByteArray audio = frames(4, test::stereoHeader, '\0', 77);
    const QByteArray infoFrame32k = bytesOf({0xFF, 0xFB, 0x98, 0x00}) + QByteArray(572, 'I');
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
        {"info frame skipped and counted", loudEverywhere, facts(0), 1},
        {"no info frame", loudEverywhere, facts(), 0},
        {"info frame's own length", infoFrame32k + audio, facts(0), 4},
        {"walk from the audio start", QByteArray(20, 'x') + audio, facts(128, 0, 20), 3},
        {"0xFF is silence",
         frames(3, test::stereoHeader, '\xFF') + frames(3, test::stereoHeader, '\xFF', 50), facts(),
         5},
        {"0xFE is not", frames(1, test::stereoHeader, '\xFE'), facts(), 0},
        {"silent to the end", frames(12), facts(), 0},
        {"cut in silence", frames(12).chopped(100), facts(), 0},
        // A free-format frame 1 byte long, then an MPEG-2.5 frame whose payload is loud.
        {"frame shorter than its side information",
         bytesOf({0xFF, 0xFB, 0x02, 0x80, 0}) + QByteArray(26, '\0') + '\x01' +
             QByteArray(393, '\0'),
         facts(), 1},
        {"1000 one-byte frames", oneByteFrames(1002), facts(), 1000},
        {"counter at its top", oneByteFrames(32769), facts(), 32767},
        {"counter past its top", oneByteFrames(32770), facts(), 0},
        {"forbidden bitrate index", frames(2) + bytesOf({0xFF, 0xFB, 0xF0, 0x00}) + audio, facts(),
         0},
        {"no MPEG audio", audio, facts(128, fileType::noMpegAudio), 0},
        {"other RIFF", audio, facts(128, fileType::otherRiff), 0},
        {"unreadable", audio, facts(128, fileType::unreadable), 0},
        {"information call failed", audio, facts(128, 0, 0, false), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(scan(c.song, c.facts), c.silent);
    }
}

// The engine is asked once per song. The silence in milliseconds uses the engine's rate (0:
// 44100 Hz) with halves to even; the time ratio follows the user's time base.
TEST(SongMeasurerTest, SilenceRateTimeRatioAndTexts) {
    const struct {
        std::int32_t engineRate, silentFrames;
        bool winampTime;
        std::int32_t sampleRate, silencemSec;
        double timeRatio;
    } cases[] = {
        {44100, 10, false, 44100, 261, 1.0},    {0, 10, false, 44100, 261, 1.0},
        {48000, 3, false, 48000, 72, 1.0},      {22050, 3, false, 22050, 157, 1.0},
        {2304000, 1, false, 2304000, 0, 1.0},   {2304000, 3, false, 2304000, 2, 1.0},
        {44100, 1, true, 44100, 26, 0.9953125}, {0, 1, true, 44100, 26, 0.9953125},
        {48000, 1, true, 48000, 24, 1.0},       {22050, 1, true, 22050, 52, 0.9953125},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    FakePlaybackEngine engine;
    SongMeasurer measurer(engine);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.engineRate << " Hz, " << c.silentFrames << " frames"
                                        << (c.winampTime ? ", Winamp Time" : ""));
        ASSERT_TRUE(
            test::writeFile(path, frames(c.silentFrames + 1, test::stereoHeader, '\0', 99)));
        engine.facts = facts();
        engine.facts.sampleRate = c.engineRate;
        engine.facts.riff.name = QStringLiteral("Riff");
        const int asked = engine.songsRead;
        const SongInfo info = measurer.measureSong(path, c.winampTime);
        EXPECT_EQ(engine.songsRead, asked + 1);
        EXPECT_EQ(std::tuple(info.sampleRate, info.silencemSec, info.timeRatio, info.title),
                  std::tuple(c.sampleRate, c.silencemSec, c.timeRatio, QStringLiteral("Riff")));
    }
}

} // namespace
} // namespace tavorin
