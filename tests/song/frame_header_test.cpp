#include "song/frame_header.h"
#include "song/id3v2_header.h"
#include "song_test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace tavorin {
namespace {

// Each row's headers are decoded one after the other into one record: reserved layer and
// rate codes keep what the header before said.
TEST(FrameHeaderTest, DecodesEveryVersionAndLayer) {
    for (const QStringList& row : test::readTable(QStringLiteral("song/frame_headers.tsv"))) {
        SCOPED_TRACE(row[0].toStdString());
        FrameHeader h;
        bool decoded = true;
        for (const QString& word : row[0].split(QLatin1Char(' '))) {
            decoded = decodeFrameHeader(QByteArray::fromHex(word.toLatin1()), h);
        }
        ASSERT_EQ(decoded, row[1] != QStringLiteral("fail"));
        if (decoded) {
            EXPECT_EQ(QString::asprintf("%d %d %d %d %d %d %d %d %d %d", h.version, h.layer,
                                        h.protection, h.privateBit, h.channelMode, h.padding,
                                        h.frameLength, h.dataOffset, h.bitrate, h.sampleRate),
                      row.mid(1).join(QLatin1Char(' ')));
        }
    }
}

TEST(FrameHeaderTest, FrameLengthsFollowTheStandard) {
    for (const QStringList& row : test::readTable(QStringLiteral("song/frame_lengths.tsv"))) {
        SCOPED_TRACE(row.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(frameLength(row[0].toInt(), row[1].toInt(), row[2].toInt(), row[3].toInt(),
                              row[4].toInt()),
                  row[5].toInt());
    }
}

TEST(Id3v2HeaderTest, SizeCountsHeaderBodyAndFooter) {
    for (const QStringList& row : test::readTable(QStringLiteral("song/id3v2_headers.tsv"))) {
        const auto size = id3v2TagSize(QByteArray::fromHex(row[0].toLatin1()));
        EXPECT_EQ(size ? QString::number(*size) : QStringLiteral("none"), row[1])
            << qPrintable(row[0]);
    }
}

// Every audio packet that ffprobe found in a fixture is a frame of our walk from the first
// frame, with the same length (the last may be cut short by the end of the file) and rate.
TEST(FrameHeaderTest, FixtureFramesMatchTheIndependentDecoder) {
    std::map<QString, std::vector<QStringList>> packets;
    for (const QStringList& row : test::readTable(QStringLiteral("songs/frames.tsv"))) {
        packets[row[0]].push_back(row);
    }
    ASSERT_GE(packets.size(), 20u);
    for (const auto& [fixture, rows] : packets) {
        SCOPED_TRACE(fixture.toStdString());
        QFile file(test::songFixture(fixture));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray song = file.readAll();
        std::map<qsizetype, FrameHeader> walked;
        FrameHeader h;
        for (qsizetype at = id3v2TagSize(song).value_or(0);
             at + 4 <= song.size() && decodeFrameHeader(song.mid(at, 4), h) && h.frameLength > 0;
             at += h.frameLength) {
            walked[at] = h;
        }
        for (const QStringList& row : rows) {
            const qsizetype at = row[1].toLongLong();
            SCOPED_TRACE(testing::Message() << "packet at " << at);
            const auto frame = walked.find(at);
            ASSERT_NE(frame, walked.end());
            const bool last = at + row[2].toLongLong() >= song.size();
            EXPECT_TRUE(last ? frame->second.frameLength >= row[2].toInt()
                             : frame->second.frameLength == row[2].toInt());
            EXPECT_EQ(frame->second.sampleRate, row[3].toInt());
        }
    }
}

} // namespace
} // namespace tavorin
