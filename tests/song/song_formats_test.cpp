#include "song/frame_header.h"
#include "song/id3v2_header.h"
#include "song/riff_chunk_reader.h"
#include "song/song_texts.h"
#include "song/time_base.h"
#include "song_test_support.h"

namespace tavorin {
namespace {

using namespace Qt::StringLiterals;
using test::expectAnswers;

// Ratios must be the very double a lyrics file states.
TEST(TimeBaseTest, WinampRatiosAndSampleRateEstimates) {
    expectAnswers(u"song/time_bases.tsv"_s, 3, [](const QStringList& row) {
        if (row[0] == u"sample_rate_estimate") {
            return QString::number(sampleRateEstimate(row[1].toInt(), row[2].toInt()));
        }
        const double ratio = winampRatio(row[1].toInt(), static_cast<std::int16_t>(row[2].toInt()));
        return ratio == row[3].toDouble() ? row[3] : QString::number(ratio, 'g', 17);
    });
}

// Each row's headers are decoded one after the other into one record: reserved layer and
// rate codes keep what the header before said.
TEST(FrameHeaderTest, DecodesEveryVersionLayerCrcAndPadding) {
    expectAnswers(u"song/frame_headers.tsv"_s, 1, [](const QStringList& row) {
        FrameHeader h;
        bool decoded = true;
        for (const QString& word : row[0].split(u' ')) {
            decoded = decodeFrameHeader(QByteArray::fromHex(word.toLatin1()), h);
        }
        return !decoded ? u"fail"_s
                        : QString::asprintf("%d %d %d %d %d %d %d %d %d %d", h.version, h.layer,
                                            h.protection, h.privateBit, h.channelMode, h.padding,
                                            h.frameLength, h.dataOffset, h.bitrate, h.sampleRate);
    });
    expectAnswers(u"song/frame_lengths.tsv"_s, 5, [](const QStringList& r) {
        return QString::number(
            frameLength(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt(), r[4].toInt()));
    });
    expectAnswers(u"song/id3v2_headers.tsv"_s, 1, [](const QStringList& row) {
        const auto size = id3v2TagSize(QByteArray::fromHex(row[0].toLatin1()));
        return size ? QString::number(*size) : u"none"_s;
    });
}

// Every audio packet that ffprobe found in a fixture starts a frame of the packet's length
// (the last may be cut short by the end of the file) and rate.
TEST(FrameHeaderTest, FixturePacketsAreFramesOfTheirLength) {
    expectAnswers(u"songs/frames.tsv"_s, 2, [](const QStringList& row) {
        QFile file(QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/") + row[0]);
        const QByteArray song = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        FrameHeader h;
        decodeFrameHeader(song.mid(row[1].toLongLong(), 4), h);
        const bool last = row[1].toLongLong() + row[2].toLongLong() >= song.size();
        return QString::asprintf(
            "%d %d", last ? std::min(h.frameLength, row[2].toInt()) : h.frameLength, h.sampleRate);
    });
}

TEST(RiffChunkReaderTest, FindsDataAndInfoWithoutTrustingChunkSizes) {
    expectAnswers(u"song/riff_chunks.tsv"_s, 2, [](const QStringList& row) {
        const QByteArray bytes = test::buildBytes(row[1]);
        if (row[0] == u"info") {
            const RiffInfo info = decodeInfoList(bytes);
            return QStringList{info.name, info.artist, info.product}.join(u'|').replace(QChar(),
                                                                                        u"\\0"_s);
        }
        const auto l = readRiffLayout(
            [&](std::int64_t at, std::int64_t length) { return bytes.mid(at, length); },
            bytes.size());
        if (!l) {
            return u"none"_s;
        }
        const RiffChunkSpan span = l->data.value_or(RiffChunkSpan{-1, -1});
        return QString::asprintf("%s %lld+%lld %d %lld", l->formType.constData(),
                                 qint64(span.offset), qint64(span.size), l->dataFirst,
                                 qint64(l->info ? l->info->offset : -1));
    });
}

// Each text is the RIFF one cut at its first NUL, unless that leaves nothing.
TEST(SongTextsTest, RiffTextCutAtNulWinsUnlessItIsEmpty) {
    const QString nul(1, QChar());
    SongInfo info;
    chooseSongTexts({u"Riff"_s + nul + u"x"_s, nul.repeated(9), {}},
                    {u"Title"_s, u"Tag"_s + nul + u"y"_s, u" "_s}, info);
    EXPECT_EQ(QStringList({info.title, info.artist, info.album}),
              QStringList({u"Riff"_s, u"Tag"_s, u" "_s}));
}

} // namespace
} // namespace tavorin
