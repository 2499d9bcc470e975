#include "fake_playback_engine.h"
#include "song_fixtures.h"
#include "song/song_measurer.h"
#include "song/time_base.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

using test::bytesOf;

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no padding: 417 bytes a frame.
const QByteArray stereo = bytesOf({0xFF, 0xFB, 0x90, 0x00});    // payload from byte 36
const QByteArray mono = bytesOf({0xFF, 0xFB, 0x90, 0xC0});      // from 21
const QByteArray stereoCrc = bytesOf({0xFF, 0xFA, 0x90, 0x00}); // from 38
const QByteArray monoCrc = bytesOf({0xFF, 0xFA, 0x90, 0xC0});   // from 23
constexpr int frameBytes = 417;

// One frame: the header, `fill` everywhere else, and 0x01 at the given indexes.
QByteArray frame(const QByteArray& header, char fill = '\0', std::initializer_list<int> ones = {}) {
    QByteArray bytes = header + QByteArray(frameBytes - 4, fill);
    for (int i : ones) {
        bytes[i] = '\x01';
    }
    return bytes;
}

QByteArray frames(int count, const QByteArray& header, char fill = '\0') {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes += frame(header, fill);
    }
    return bytes;
}

QByteArray id3v2Tag(int bodySize, bool footer = false) {
    QByteArray tag = "ID3";
    tag += bytesOf({4, 0, footer ? 0x10 : 0, 0, 0, (bodySize >> 7) & 0x7F, bodySize & 0x7F});
    tag += QByteArray(bodySize, '\x41'); // tag text that would decode as nonsense frames
    if (footer) {
        tag += "3DI" + tag.mid(3, 7);
    }
    return tag;
}

class SongMeasurerTest : public testing::Test {
protected:
    QTemporaryDir dir;
    FakePlaybackEngine engine;
    SongMeasurer measurer{engine};

    QString song(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("song%1.mp3").arg(++count));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    std::int32_t scan(const QByteArray& bytes) {
        return measurer.leadingSilenceScan(song(bytes), 5);
    }

private:
    int count = 0;
};

TEST_F(SongMeasurerTest, PayloadStartsAfterHeaderCrcAndSideInformation) {
    struct Case {
        const char* what;
        QByteArray header;
        int payloadStart;
    };
    const Case cases[] = {
        {"stereo", stereo, 36},
        {"mono", mono, 21},
        {"stereo with CRC", stereoCrc, 38},
        {"mono with CRC", monoCrc, 23},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Bytes before the payload (side information) never make a frame loud; the first
        // payload byte does.
        QByteArray bytes;
        for (int i = 0; i < 3; ++i) {
            bytes += frame(c.header, '\0', {c.payloadStart - 1});
        }
        bytes += frame(c.header, '\0', {c.payloadStart});
        bytes += frames(2, c.header);
        EXPECT_EQ(scan(bytes), 3);

        // The last payload byte counts too.
        EXPECT_EQ(scan(frames(2, c.header) + frame(c.header, '\0', {frameBytes - 1})), 2);
    }
}

TEST_F(SongMeasurerTest, InfoFrameIsSkippedAndCountedOnlyWhenTheEngineSaysSo) {
    // Every frame holds one payload byte 0x01: loud from the first frame on.
    QByteArray bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += frame(stereo, '\0', {100});
    }
    struct Case {
        std::int32_t firstFrameBitrate;
        std::int32_t expected;
    };
    for (const Case c : {Case{0, 1}, Case{128, 0}}) {
        SCOPED_TRACE(c.firstFrameBitrate);
        engine.mpeg.firstFrameBitrate = c.firstFrameBitrate;
        EXPECT_EQ(scan(bytes), c.expected);
    }

    // The skipped frame's own length decides where the walk goes on (here a Layer III frame
    // at 32 kHz, 576 bytes, ahead of two silent 44.1 kHz frames).
    engine.mpeg.firstFrameBitrate = 0;
    const QByteArray info = bytesOf({0xFF, 0xFB, 0x98, 0x00}) + QByteArray(572, 'I');
    EXPECT_EQ(scan(info + frames(2, stereo) + frame(stereo, '\0', {40})), 3);
}

TEST_F(SongMeasurerTest, ZeroAndFfBytesAreSilenceAndASongSilentToItsEndMeasuresNothing) {
    EXPECT_EQ(scan(frames(3, stereo, '\xFF') + frames(2, stereo) + frame(stereo, '\xFF', {50})), 5);
    EXPECT_EQ(scan(frames(1, stereo, '\xFE')), 0);
    EXPECT_EQ(scan(frames(12, stereo)), 0);
    EXPECT_EQ(scan(frames(12, stereo).left(12 * frameBytes - 100)), 0);
}

TEST_F(SongMeasurerTest, FrameNoLongerThanItsHeaderAndSideInformationIsSilent) {
    // At 0: a free-format MPEG-1 Layer III header with padding, 1 byte long, shorter than its
    // 36 bytes of header and side information. At 1: an MPEG-2.5 Layer III frame with CRC
    // (64 kbit/s, 11.025 kHz, 417 bytes) whose payload is loud.
    QByteArray bytes = bytesOf({0xFF, 0xFB, 0x02, 0x80, 0x00});
    bytes += QByteArray(420, '\0');
    bytes[1 + 30] = '\x01';
    EXPECT_EQ(scan(bytes), 1);
}

TEST_F(SongMeasurerTest, CounterPastItsSixteenBitTopIsAFailure) {
    // Bytes 0x02 decode, at every offset, as a 1-byte MPEG-2.5 frame with nothing in it; 0x80
    // then starts a 417-byte frame whose payload holds 0x01.
    struct Case {
        int twos;
        std::int32_t expected;
    };
    for (const Case c : {Case{1002, 1000}, Case{32769, 32767}, Case{32770, 0}}) {
        SCOPED_TRACE(c.twos);
        EXPECT_EQ(scan(QByteArray(c.twos, '\x02') + '\x80' + QByteArray(500, '\x01')), c.expected);
    }
}

TEST_F(SongMeasurerTest, ScanStartsAfterLeadingId3v2TagsAndTheRmpPreamble) {
    const QByteArray audio = frames(4, mono) + frame(mono, '\0', {30}) + frames(3, mono);
    ASSERT_EQ(scan(audio), 4);
    EXPECT_EQ(scan(id3v2Tag(300) + audio), 4);
    EXPECT_EQ(scan(id3v2Tag(200, true) + audio), 4);
    EXPECT_EQ(scan(id3v2Tag(20) + id3v2Tag(40) + audio), 4);

    const QByteArray preamble("RIFF\x10\x10\x00\x00RMP3data\x00\x10\x00\x00", 20);
    ASSERT_EQ(preamble.size(), 20);
    engine.flags = fileType::rmpDataAt20;
    EXPECT_EQ(scan(preamble + audio), 4);
    EXPECT_EQ(scan(preamble + id3v2Tag(128) + audio), 4);
}

TEST_F(SongMeasurerTest, EngineVerdictsStopTheScan) {
    const QByteArray audio = frames(3, stereo) + frame(stereo, '\0', {77});
    struct Case {
        const char* what;
        std::uint32_t flags;
        bool infoSucceeds;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"plain MPEG", 0, true, 3},
        {"no MPEG audio", fileType::noMpegAudio, true, 0},
        {"other RIFF", fileType::otherRiff, true, 0},
        {"unreadable", fileType::unreadable, true, 0},
        {"information call failed", 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine.flags = c.flags;
        engine.infoSucceeds = c.infoSucceeds;
        EXPECT_EQ(scan(audio), c.expected);
    }

    engine.flags = 0;
    engine.infoSucceeds = true;
    engine.asked.clear();
    EXPECT_EQ(measurer.leadingSilenceScan(dir.filePath(QStringLiteral("missing.mp3")), 5), 0);
    EXPECT_TRUE(engine.asked.isEmpty());
}

TEST_F(SongMeasurerTest, ForbiddenBitrateIndexFailsTheScan) {
    const QByteArray forbidden = bytesOf({0xFF, 0xFB, 0xF0, 0x00}) + QByteArray(413, '\0');
    EXPECT_EQ(scan(frames(2, stereo) + forbidden + frame(stereo, '\0', {50})), 0);
}

// The silence in milliseconds uses the engine's rate (0: 44100 Hz) with halves to even; the
// time ratio follows the user's time base; a song the engine cannot read gives the defaults
// and empty texts.
TEST_F(SongMeasurerTest, SilenceRateAndTimeRatio) {
    struct Case {
        std::int32_t engineRate;
        bool infoSucceeds;
        int silentFrames;
        bool winampTime;
        std::int32_t sampleRate;
        std::int32_t silencemSec;
        double timeRatio;
    };
    const Case cases[] = {
        {44100, true, 10, false, 44100, 261, 1.0},    {0, true, 10, false, 44100, 261, 1.0},
        {48000, true, 3, false, 48000, 72, 1.0},      {22050, true, 3, false, 22050, 157, 1.0},
        {2304000, true, 1, false, 2304000, 0, 1.0},   {2304000, true, 3, false, 2304000, 2, 1.0},
        {44100, true, 1, true, 44100, 26, 0.9953125}, {0, true, 1, true, 44100, 26, 0.9953125},
        {48000, true, 1, true, 48000, 24, 1.0},       {22050, true, 1, true, 22050, 52, 0.9953125},
        {48000, false, 1, true, 44100, 0, 0.9953125}, {48000, false, 1, false, 44100, 0, 1.0},
    };
    engine.tag.title = QStringLiteral("Title");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.engineRate << " Hz, " << c.silentFrames << " frames, "
                                        << (c.infoSucceeds ? "read" : "unreadable")
                                        << (c.winampTime ? ", Winamp Time" : ""));
        engine.mpeg.sampleRate = c.engineRate;
        engine.infoSucceeds = c.infoSucceeds;
        const QString path = song(frames(c.silentFrames, stereo) + frame(stereo, '\0', {99}));
        const SongInfo info = measurer.measureSong(path, c.winampTime);
        EXPECT_EQ(info.sampleRate, c.sampleRate);
        EXPECT_EQ(info.silencemSec, c.silencemSec);
        EXPECT_EQ(info.timeRatio, c.timeRatio);
        EXPECT_EQ(info.title.isEmpty(), !c.infoSucceeds);
        if (!c.infoSucceeds) {
            EXPECT_TRUE(info.artist.isEmpty());
            EXPECT_TRUE(info.album.isEmpty());
        }
    }
}

} // namespace
} // namespace tavorin
