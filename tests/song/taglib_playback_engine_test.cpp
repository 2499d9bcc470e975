#include "shell/block_file.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"
#include "song_test_support.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

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
    ASSERT_GE(rows.size(), 30u);
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row[0].toStdString());
        BlockFile song(songFixture(row[0]));
        const SongFacts facts = engine.readSong(song);
        EXPECT_EQ(QString::asprintf("%u %d %d %d", facts.fileType, facts.sampleRate,
                                    facts.firstFrameBitrate, leadingSilentFrames(song, facts, 5)),
                  row.mid(1, 4).join(QLatin1Char(' ')));
        EXPECT_EQ(facts.hasAudio, facts.sampleRate != 0);
        if (row.size() > 5) {
            const SongInfo info = measure(songFixture(row[0]));
            EXPECT_EQ(QStringList({info.title, info.artist, info.album}), row.mid(5));
        }
    }
}

// Stacked leading ID3v2 tags, a tag footer and an RMP wrapper are passed over to the audio;
// files without MPEG audio have no rate (-1).
TEST_F(TaglibPlaybackEngineTest, WalkStartsAfterLeadingTagsAndTheRmpHeader) {
    const QByteArray audio = frames(5, test::monoHeader, '\0', 30) + frames(3, test::monoHeader);
    const auto rmp = [](const QByteArray& data) {
        QByteArray bytes = "RIFF0000RMP3data0000" + data;
        qToLittleEndian<quint32>(static_cast<quint32>(data.size() + 12), bytes.data() + 4);
        qToLittleEndian<quint32>(static_cast<quint32>(data.size()), bytes.data() + 16);
        return bytes;
    };
    const std::pair<QByteArray, std::int32_t> cases[] = {
        {audio, 104},
        {id3v2Tag(300) + audio, 104},
        {id3v2Tag(200, true) + audio, 104},
        {id3v2Tag(20) + id3v2Tag(40) + audio, 104},
        {rmp(audio), 104},
        {rmp(id3v2Tag(128) + audio), 104},
        // Fraunhofer's VBRI frame is skipped and counted like LAME's info frame.
        {frames(1).replace(36, 4, "VBRI") + frames(1, test::monoHeader, '\0', 30), 26},
        {{}, -1},
        {QByteArray("just some words, no frames\n").repeated(200), -1},
        {id3v2Tag(16), -1},
        {rmp({}).left(12), -1},
        // A lone sync whose next frame does not follow is no frame.
        {QByteArray(100, 'a') + test::stereoHeader + QByteArray(2000, 'b'), -1},
    };
    for (const auto& [song, silencemSec] : cases) {
        SCOPED_TRACE(song.left(24).toHex().constData());
        BlockFile file(write(song));
        const SongFacts facts = engine.readSong(file);
        EXPECT_EQ(facts.fileType & fileType::noMpegAudio, silencemSec < 0 ? 1u : 0u);
        EXPECT_EQ(facts.sampleRate, silencemSec < 0 ? 0 : 44100);
        EXPECT_EQ(measure(write(song)).silencemSec, std::max(silencemSec, 0));
    }
    BlockFile folder(dir.path());
    EXPECT_EQ(engine.readSong(folder).fileType, fileType::unreadable);
}

} // namespace
} // namespace tavorin
