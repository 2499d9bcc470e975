#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"
#include "song_fixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace tavorin {
namespace {

using test::songFixture;

struct EngineCase {
    const char* fixture;
    std::uint32_t flags;
    std::int32_t sampleRate;        // 0: the information call fails
    std::int32_t firstFrameBitrate; // 0: the first frame is a Xing/Info/VBRI frame
    std::int32_t silentFrames;      // the scan's count; -1: measured against the decoded audio
};

// LAME songs count exactly their info frame; songs the scan refuses or runs off the end of
// count nothing.
TEST(TaglibPlaybackEngineTest, ReportsTypeRateInfoFrameAndSilentFrames) {
    const EngineCase cases[] = {
        {"lame_cbr_info_44k_stereo.mp3", 0, 44100, 0, 1},
        {"lame_cbr_noinfo_44k_stereo.mp3", 0, 44100, 64, 0},
        {"lame_vbr_xing_44k_stereo.mp3", 0, 44100, 0, 1},
        {"lame_cbr_crc_44k_stereo.mp3", 0, 44100, 0, 1},
        {"lame_cbr_crc_44k_mono.mp3", 0, 44100, 0, 1},
        {"lame_cbr_info_32k_mono.mp3", 0, 32000, 0, 1},
        {"lame_mpeg2_22k_mono.mp3", 0, 22050, 0, 1},
        {"lame_mpeg2_24k_stereo_noinfo.mp3", 0, 24000, 32, 0},
        {"lame_mpeg2_16k_mono_crc.mp3", 0, 16000, 0, 1},
        {"lame_mpeg25_8k_mono.mp3", 0, 8000, 0, 1},
        {"lame_mpeg25_11k_stereo_crc.mp3", 0, 11025, 0, 1},
        {"lame_mpeg25_8k_mono_vbr.mp3", 0, 8000, 0, 1},
        {"twolame_mpeg1_48k_stereo.mp2", 0, 48000, 64, -1},
        {"twolame_mpeg1_32k_mono_crc.mp2", 0, 32000, 32, -1},
        {"twolame_mpeg2_22k_mono.mp2", 0, 22050, 64, -1},
        {"ffmpeg_mpeg2_24k_stereo.mp2", 0, 24000, 64, -1},
        {"shine_1000ms.mp3", 0, 44100, 32, -1},
        {"shine_1000ms_id3v23.mp3", 0, 44100, 32, -1},
        {"shine_1000ms_id3v24.mp3", 0, 44100, 32, -1},
        {"shine_1000ms_id3v1.mp3", 0, 44100, 32, -1},
        {"lame_cbr_info_44k_stereo_id3v24.mp3", 0, 44100, 0, -1},
        {"truncated_in_silence.mp3", 0, 44100, 32, 0},
        {"rmp_data_first.rmp", fileType::rmpDataAt20, 44100, 32, -1},
        {"rmp_data_first_id3v23.rmp", fileType::rmpDataAt20, 44100, 32, -1},
        {"rmp_data_elsewhere.rmp", fileType::otherRiff, 44100, 32, 0},
        {"riff_wave.wav", fileType::otherRiff, 0, 0, 0},
        {"no_such_song.mp3", fileType::unreadable, 0, 0, 0},
    };
    TaglibPlaybackEngine engine;
    SongMeasurer measurer(engine);
    for (const EngineCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString path = songFixture(QString::fromUtf8(c.fixture));
        EXPECT_EQ(engine.fileType(path), c.flags);
        TagInfo tag;
        MpegInfo mpeg{-1, -1};
        EXPECT_EQ(engine.fileInfo(path, tag, mpeg), c.sampleRate != 0);
        EXPECT_EQ(mpeg.sampleRate, c.sampleRate);
        EXPECT_EQ(mpeg.firstFrameBitrate, c.firstFrameBitrate);
        if (c.silentFrames >= 0) {
            EXPECT_EQ(measurer.leadingSilenceScan(path, 5), c.silentFrames);
        }
    }
}

TEST(TaglibPlaybackEngineTest, FilesWithoutMpegAudioFail) {
    QTemporaryDir dir;
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text", QByteArray("just some words, no frames\n").repeated(200)},
        {"tag only", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + QByteArray(16, 'x')},
        {"RMP without data chunk", QByteArray("RIFF\x04\x00\x00\x00RMP3", 12)},
        // A lone sync whose next frame does not follow is no frame.
        {"stray sync",
         QByteArray(100, 'a') + QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(2000, 'b')},
    };
    TaglibPlaybackEngine engine;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QString::fromUtf8(c.what));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        EXPECT_NE(engine.fileType(path) & fileType::noMpegAudio, 0u);
        TagInfo tag;
        MpegInfo mpeg;
        RiffInfo riff;
        EXPECT_FALSE(engine.fileInfo(path, tag, mpeg));
        engine.fileInfo2(path, tag, mpeg, riff);
        EXPECT_EQ(mpeg.sampleRate, 0);
    }
    TagInfo tag;
    MpegInfo mpeg;
    EXPECT_EQ(engine.fileType(dir.path()), fileType::unreadable);
    EXPECT_FALSE(engine.fileInfo(dir.path(), tag, mpeg));
}

struct TextCase {
    const char* fixture;
    const char* title;
    const char* artist;
    const char* album;
};

TEST(TaglibPlaybackEngineTest, MeasuredTextsComeFromRiffInfoThenTags) {
    const TextCase cases[] = {
        {"shine_1000ms.mp3", "", "", ""},
        {"shine_1000ms_id3v23.mp3", "Dawn Song", "Hanako", "First Light"},
        {"shine_1000ms_id3v24.mp3", "夜明けの歌", "山田花子", "朝"},
        {"shine_1000ms_id3v1.mp3", "夜明けの歌", "山田花子", "Asa"},
        {"shine_1000ms_id3v23_id3v1.mp3", "V2 Title", "V1 Artist", "V1 Album"},
        {"rmp_data_first.rmp", "夜明けの歌", "山田花子", "朝の歌集"},
        {"rmp_data_first_id3v23.rmp", "夜明けの歌", "山田花子", "朝の歌集"},
        {"rmp_data_elsewhere.rmp", "夜明けの歌", "山田花子", "朝の歌集"},
        {"rmp_space_title.rmp", " ", "Hanako", "First Light"},
        {"riff_wave.wav", "", "", ""},
    };
    TaglibPlaybackEngine engine;
    SongMeasurer measurer(engine);
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        const SongInfo info =
            measurer.measureSong(songFixture(QString::fromUtf8(c.fixture)), false);
        EXPECT_EQ(info.title, QString::fromUtf8(c.title));
        EXPECT_EQ(info.artist, QString::fromUtf8(c.artist));
        EXPECT_EQ(info.album, QString::fromUtf8(c.album));
    }
}

// Whole frames of a fixture before the first sample the independent decoder made audible.
std::map<QString, int> framesBeforeFirstSample() {
    std::map<QString, int> frames;
    for (const QStringList& row : test::readFacts(QStringLiteral("fixtures.tsv"))) {
        frames[row[0]] = row[2].toInt() / 1152;
    }
    return frames;
}

TEST(TaglibPlaybackEngineTest, ShineSilenceMatchesTheDecodedAudio) {
    const auto expected = framesBeforeFirstSample();
    TaglibPlaybackEngine engine;
    SongMeasurer measurer(engine);
    for (const char* fixture :
         {"shine_0ms.mp3", "shine_500ms.mp3", "shine_1000ms.mp3", "shine_2000ms.mp3"}) {
        SCOPED_TRACE(fixture);
        const QString name = QString::fromUtf8(fixture);
        ASSERT_EQ(expected.count(name), 1u);
        const int whole = expected.at(name);
        const std::int32_t counted = measurer.leadingSilenceScan(songFixture(name), 5);
        // The frame before the first audible one may already carry its bits in the reservoir.
        EXPECT_LE(counted, whole);
        EXPECT_GE(counted, std::max(0, whole - 1));
    }
}

TEST(TaglibPlaybackEngineTest, TagsAndWrappersDoNotChangeTheSilence) {
    struct Case {
        const char* fixture;
        const char* twin;
    };
    const Case cases[] = {
        {"shine_1000ms_id3v23.mp3", "shine_1000ms.mp3"},
        {"shine_1000ms_id3v24.mp3", "shine_1000ms.mp3"},
        {"shine_1000ms_id3v1.mp3", "shine_1000ms.mp3"},
        {"shine_1000ms_id3v23_id3v1.mp3", "shine_1000ms.mp3"},
        {"rmp_data_first.rmp", "shine_1000ms.mp3"},
        {"rmp_data_first_id3v23.rmp", "shine_1000ms.mp3"},
        {"lame_cbr_info_44k_stereo_id3v24.mp3", "lame_cbr_info_44k_stereo.mp3"},
        {"truncated_in_tone.mp3", "shine_500ms.mp3"},
    };
    TaglibPlaybackEngine engine;
    SongMeasurer measurer(engine);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const SongInfo twin = measurer.measureSong(songFixture(QString::fromUtf8(c.twin)), true);
        ASSERT_GT(twin.silencemSec, 0);
        const SongInfo info = measurer.measureSong(songFixture(QString::fromUtf8(c.fixture)), true);
        EXPECT_EQ(info.silencemSec, twin.silencemSec);
        EXPECT_EQ(info.sampleRate, twin.sampleRate);
        EXPECT_EQ(info.timeRatio, twin.timeRatio);
    }
}

// The engine keeps what it read of the last song: a song replaced under the same name, in place
// or by another file put in its place, must be measured anew.
TEST(TaglibPlaybackEngineTest, SongReplacedUnderTheSameNameIsMeasuredAnew) {
    struct Case {
        const char* first;
        const char* second;
        bool putInPlace; // another file takes its name; else it is rewritten in place
    };
    const Case cases[] = {
        {"shine_1000ms_id3v23.mp3", "lame_mpeg2_22k_mono.mp3", false},
        // The same size: only the file itself tells them apart.
        {"ffmpeg_mpeg2_24k_stereo.mp2", "twolame_mpeg1_48k_stereo.mp2", true},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    const auto write = [](const QString& to, const char* fixture) {
        QFile file(to);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(test::readSongFixture(QString::fromUtf8(fixture)));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second);
        TaglibPlaybackEngine engine;
        SongMeasurer measurer(engine);
        const SongInfo expected =
            measurer.measureSong(songFixture(QString::fromUtf8(c.second)), false);
        write(path, c.first);
        const SongInfo before = measurer.measureSong(path, false);
        ASSERT_NE(before.sampleRate, expected.sampleRate);
        if (c.putInPlace) {
            const QString other = dir.filePath(QStringLiteral("other.mp3"));
            write(other, c.second);
            ASSERT_TRUE(QFile::remove(path));
            ASSERT_TRUE(QFile::rename(other, path));
        } else {
            write(path, c.second);
        }
        const SongInfo after = measurer.measureSong(path, false);
        EXPECT_EQ(after.sampleRate, expected.sampleRate);
        EXPECT_EQ(after.silencemSec, expected.silencemSec);
        EXPECT_EQ(after.title, expected.title);
    }
}

// Bytes this process has read through system calls so far; nothing where the platform does
// not count them.
std::optional<qint64> bytesReadSoFar() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return std::nullopt;
}

TEST(TaglibPlaybackEngineTest, MeasuringReadsTheLeadingFramesAndTagsOnly) {
    if (!bytesReadSoFar()) {
        GTEST_SKIP() << "the platform does not count the bytes a process reads";
    }
    // The tagged song, then 256 MiB of nothing (a sparse stretch), then its ID3v1 tag.
    const QByteArray song = test::readSongFixture(QStringLiteral("shine_1000ms_id3v23_id3v1.mp3"));
    ASSERT_GT(song.size(), 128);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.mp3"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(song.chopped(128));
    constexpr qint64 longSize = 256 * 1024 * 1024;
    ASSERT_TRUE(file.resize(longSize - 128));
    ASSERT_TRUE(file.seek(longSize - 128));
    file.write(song.right(128));
    file.close();

    TaglibPlaybackEngine engine;
    SongMeasurer measurer(engine);
    const SongInfo twin =
        measurer.measureSong(songFixture(QStringLiteral("shine_1000ms.mp3")), false);
    const qint64 before = *bytesReadSoFar();
    const SongInfo info = measurer.measureSong(path, false);
    const qint64 read = *bytesReadSoFar() - before;

    // A few reads per frame of the leading silence and the tags; read-ahead of the file layer
    // may add to that, but never anything near the length of the song.
    EXPECT_LT(read, 4 * 1024 * 1024);
    EXPECT_EQ(info.silencemSec, twin.silencemSec);
    EXPECT_EQ(info.title, QStringLiteral("V2 Title"));
    EXPECT_EQ(info.artist, QStringLiteral("V1 Artist"));
}

} // namespace
} // namespace tavorin
