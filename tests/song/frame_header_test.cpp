#include "song/frame_header.h"
#include "song/id3v2_header.h"
#include "song_fixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace tavorin {
namespace {

using test::bytesOf;

auto fields(const FrameHeader& h) {
    return std::tuple(h.version, h.layer, h.protection, h.privateBit, h.channelMode, h.padding,
                      h.frameLength, h.dataOffset, h.bitrate, h.sampleRate);
}

struct DecodeCase {
    const char* what;
    std::uint32_t header; // the four bytes, first byte highest
    FrameHeader expected;
};

TEST(FrameHeaderTest, DecodesEveryVersionAndLayer) {
    // version, layer, protection, private, channelMode, padding, frameLength, dataOffset,
    // bitrate, sampleRate
    const DecodeCase cases[] = {
        {"MPEG-1 III stereo", 0xFFFB9000, {1, 3, 1, 0, 0, 0, 417, 36, 128, 44100}},
        {"padding, private, mono", 0xFFFB93C0, {1, 3, 1, 1, 3, 1, 418, 21, 128, 44100}},
        {"CRC stereo", 0xFFFA9040, {1, 3, 0, 0, 1, 0, 417, 38, 128, 44100}},
        {"CRC mono", 0xFFFA90C0, {1, 3, 0, 0, 3, 0, 417, 23, 128, 44100}},
        {"MPEG-1 II 48k", 0xFFFDA400, {1, 2, 1, 0, 0, 0, 576, 4, 192, 48000}},
        {"MPEG-1 I: slots, then padding", 0xFFFF1200, {1, 1, 1, 0, 0, 1, 36, 4, 32, 44100}},
        {"MPEG-2 III 22.05k", 0xFFF380C0, {2, 3, 1, 0, 3, 0, 208, 13, 64, 22050}},
        {"MPEG-2 II: 1152 samples", 0xFFF580C0, {2, 2, 1, 0, 3, 0, 417, 4, 64, 22050}},
        {"MPEG-2 I: own table", 0xFFF78400, {2, 1, 1, 0, 0, 0, 256, 4, 128, 24000}},
        {"MPEG-2.5 III 8k", 0xFFE318C0, {3, 3, 1, 0, 3, 0, 72, 13, 8, 8000}},
        {"MPEG-2.5 11.025k CRC", 0xFFE22000, {3, 3, 0, 0, 0, 0, 104, 23, 16, 11025}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        FrameHeader h;
        const QByteArray bytes =
            bytesOf({0xFF, static_cast<int>(c.header >> 16 & 0xFF),
                     static_cast<int>(c.header >> 8 & 0xFF), static_cast<int>(c.header & 0xFF)});
        ASSERT_TRUE(decodeFrameHeader(bytes, h));
        EXPECT_EQ(fields(h), fields(c.expected));
    }
}

TEST(FrameHeaderTest, ReservedCodesKeepWhatTheLastHeaderSaid) {
    FrameHeader h;
    ASSERT_TRUE(decodeFrameHeader(bytesOf({0xFF, 0xFD, 0xA4, 0x00}), h)); // Layer II, 48k
    // Layer code 00 and rate code 11: both stay from the header before.
    ASSERT_TRUE(decodeFrameHeader(bytesOf({0xFF, 0xF9, 0xCC, 0x00}), h));
    EXPECT_EQ(h.layer, 2);
    EXPECT_EQ(h.sampleRate, 48000);
    EXPECT_EQ(h.bitrate, 256); // the MPEG-1 Layer II table, as the kept layer says

    // A first header with layer code 00 has no layer yet: the lower-rate table applies.
    FrameHeader fresh;
    ASSERT_TRUE(decodeFrameHeader(bytesOf({0xFF, 0xF9, 0x80, 0x00}), fresh));
    EXPECT_EQ(fresh.layer, 0);
    EXPECT_EQ(fresh.bitrate, 64);
    EXPECT_EQ(fresh.frameLength, 0);
}

TEST(FrameHeaderTest, FrameLengthsFollowTheStandard) {
    struct Case {
        std::int32_t version, layer, bitrate, rate, padding, length;
    };
    const Case cases[] = {
        {1, 1, 32, 44100, 0, 32},    {1, 1, 448, 32000, 0, 672},  {2, 1, 32, 22050, 0, 68},
        {1, 2, 384, 32000, 1, 1729}, {2, 2, 160, 16000, 0, 1440}, {1, 3, 320, 48000, 1, 961},
        {2, 3, 8, 22050, 1, 27},     {3, 3, 160, 12000, 0, 960},  {1, 3, 128, 0, 0, 0},
        {1, 0, 128, 44100, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " layer " << c.layer << " "
                                        << c.bitrate << "k " << c.rate << " Hz pad " << c.padding);
        EXPECT_EQ(frameLength(c.version, c.layer, c.bitrate, c.rate, c.padding), c.length);
    }
}

TEST(Id3v2HeaderTest, SizeCountsHeaderBodyAndFooter) {
    EXPECT_EQ(id3v2TagSize(QByteArrayView("ID3\x03\x00\x00\x00\x00\x02\x01", 10)), 10 + 257);
    EXPECT_EQ(id3v2TagSize(QByteArrayView("ID3\x04\x00\x10\x00\x00\x00\x7F", 10)), 10 + 127 + 10);
    EXPECT_FALSE(id3v2TagSize(QByteArrayView("ID3\x04\x00\x00\x00\x00\x80\x00", 10)));
    EXPECT_FALSE(id3v2TagSize(QByteArrayView("ID3\xFF\x00\x00\x00\x00\x00\x00", 10)));
    EXPECT_FALSE(id3v2TagSize("TAG"));
}

// Every audio packet an independent decoder found in a fixture is a frame of our walk from
// the first frame, with the same length and sampling rate.
TEST(FrameHeaderTest, FixtureFramesMatchTheIndependentDecoder) {
    std::map<QString, std::vector<QStringList>> packets;
    for (const QStringList& row : test::readFacts(QStringLiteral("frames.tsv"))) {
        packets[row[0]].push_back(row);
    }
    ASSERT_GE(packets.size(), 20u);
    for (const auto& [fixture, rows] : packets) {
        SCOPED_TRACE(fixture.toStdString());
        const QByteArray song = test::readSongFixture(fixture);
        ASSERT_FALSE(song.isEmpty());
        qsizetype position = id3v2TagSize(song).value_or(0);

        std::map<qsizetype, FrameHeader> walked;
        FrameHeader h;
        while (position + 4 <= song.size() && decodeFrameHeader(song.mid(position, 4), h) &&
               h.frameLength > 0) {
            walked[position] = h;
            position += h.frameLength;
        }
        for (const QStringList& row : rows) {
            const qsizetype pos = row[1].toLongLong();
            SCOPED_TRACE(testing::Message() << "packet at " << pos);
            const auto frame = walked.find(pos);
            ASSERT_NE(frame, walked.end());
            if (pos + row[2].toLongLong() < song.size()) {
                EXPECT_EQ(frame->second.frameLength, row[2].toInt());
            } else {
                // The encoder's last frame, cut short by the end of the file.
                EXPECT_GE(frame->second.frameLength, row[2].toInt());
            }
            EXPECT_EQ(frame->second.sampleRate, row[3].toInt());
        }
    }
}

} // namespace
} // namespace tavorin
