#include "shell/block_file.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"
#include "song_test_support.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace tavorin {
namespace {

using test::frames;
using test::id3v2Tag;
using test::songFixture;

class TaglibPlaybackEngineTest : public testing::Test {
protected:
    void SetUp() override { engine.init(); }

    SongInfo measure(const QString& path) { return SongMeasurer(engine).measureSong(path, true); }
    QString write(const QByteArray& song) {
        const QString path = dir.filePath(QStringLiteral("song.mp3"));
        EXPECT_TRUE(test::writeFile(path, song));
        return path;
    }

    TaglibPlaybackEngine engine;
    QTemporaryDir dir;
};

TEST_F(TaglibPlaybackEngineTest, FixturesGiveTheirFactsSilenceAndTexts) {
    const auto rows = test::readTable(QStringLiteral("song/engine_facts.tsv"));
    ASSERT_GE(rows.size(), 25u);
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row[0].toStdString());
        BlockFile song(songFixture(row[0]));
        const SongFacts facts = engine.readSong(song);
        EXPECT_EQ(QStringList({QString::number(facts.fileType), QString::number(facts.sampleRate),
                               QString::number(facts.firstFrameBitrate)}),
                  row.mid(1, 3));
        EXPECT_EQ(facts.hasAudio, facts.sampleRate != 0);
        if (row[4] != QStringLiteral("-1")) {
            EXPECT_EQ(leadingSilentFrames(song, facts, 5), row[4].toInt());
        }
        const SongInfo info = measure(songFixture(row[0]));
        if (row[5] != QStringLiteral("-")) {
            // Tags and wrappers leave the silence of the song inside them as it was.
            const SongInfo twin = measure(songFixture(row[5]));
            ASSERT_GT(twin.silencemSec, 0);
            EXPECT_EQ(std::tuple(info.silencemSec, info.sampleRate, info.timeRatio),
                      std::tuple(twin.silencemSec, twin.sampleRate, twin.timeRatio));
        }
        if (row.size() > 6) {
            EXPECT_EQ(QStringList({info.title, info.artist, info.album}), row.mid(6));
        }
    }
}

TEST_F(TaglibPlaybackEngineTest, ShineSilenceMatchesTheDecodedAudio) {
    std::map<QString, int> firstSample;
    for (const QStringList& row : test::readTable(QStringLiteral("songs/fixtures.tsv"))) {
        firstSample[row[0]] = row[2].toInt();
    }
    for (const char* fixture :
         {"shine_0ms.mp3", "shine_500ms.mp3", "shine_1000ms.mp3", "shine_2000ms.mp3"}) {
        SCOPED_TRACE(fixture);
        ASSERT_EQ(firstSample.count(QString::fromUtf8(fixture)), 1u);
        const int whole = firstSample[QString::fromUtf8(fixture)] / 1152;
        BlockFile song(songFixture(QString::fromUtf8(fixture)));
        const std::int32_t counted = leadingSilentFrames(song, engine.readSong(song), 5);
        // The frame before the first audible one may already carry its bits in the reservoir.
        EXPECT_LE(counted, whole);
        EXPECT_GE(counted, std::max(0, whole - 1));
    }
}

// Stacked leading ID3v2 tags, a tag footer and an RMP wrapper are passed over to the audio.
TEST_F(TaglibPlaybackEngineTest, WalkStartsAfterLeadingTagsAndTheRmpHeader) {
    const QByteArray audio = frames(5, test::monoHeader, '\0', 30) + frames(3, test::monoHeader);
    const auto rmp = [](const QByteArray& data) {
        QByteArray bytes = "RIFF0000RMP3data0000" + data;
        qToLittleEndian<quint32>(static_cast<quint32>(data.size() + 12), bytes.data() + 4);
        qToLittleEndian<quint32>(static_cast<quint32>(data.size()), bytes.data() + 16);
        return bytes;
    };
    for (const QByteArray& song :
         {audio, id3v2Tag(300) + audio, id3v2Tag(200, true) + audio,
          id3v2Tag(20) + id3v2Tag(40) + audio, rmp(audio), rmp(id3v2Tag(128) + audio)}) {
        EXPECT_EQ(measure(write(song)).silencemSec, 104) << song.left(24).toHex().constData();
    }
}

TEST_F(TaglibPlaybackEngineTest, FilesWithoutMpegAudioHaveNoRate) {
    for (const QByteArray& song :
         {QByteArray(), QByteArray("just some words, no frames\n").repeated(200), id3v2Tag(16),
          QByteArray("RIFF\x04\x00\x00\x00RMP3", 12),
          // A lone sync whose next frame does not follow is no frame.
          QByteArray(100, 'a') + test::stereoHeader + QByteArray(2000, 'b')}) {
        SCOPED_TRACE(song.left(16).toHex().constData());
        BlockFile file(write(song));
        const SongFacts facts = engine.readSong(file);
        EXPECT_NE(facts.fileType & fileType::noMpegAudio, 0u);
        EXPECT_EQ(std::tuple(facts.hasAudio, facts.sampleRate), std::tuple(false, 0));
    }
    BlockFile folder(dir.path());
    EXPECT_EQ(engine.readSong(folder).fileType, fileType::unreadable);
}

} // namespace
} // namespace tavorin
