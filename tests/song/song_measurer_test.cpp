#include "fake_playback_engine.h"
#include "shell/block_file.h"
#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"
#include "song_test_support.h"

namespace tavorin {
namespace {

using namespace Qt::StringLiterals;

// The leading-tag skip, the RMP header, the info frame and the walk to the first loud frame,
// on fixtures and on built songs.
TEST(TaglibPlaybackEngineTest, SkipsTagsRmpHeaderAndInfoFrameThenCountsSilentFrames) {
    TaglibPlaybackEngine engine;
    engine.init();
    QTemporaryDir dir;
    test::expectAnswers(u"song/engine_facts.tsv"_s, 1, [&](const QStringList& row) {
        const QString path = test::songFile(row[0], dir);
        BlockFile song(path);
        const SongFacts facts = engine.readSong(song);
        QStringList answer{QString::asprintf("%u %d %d %d", facts.fileType, facts.sampleRate,
                                             facts.firstFrameBitrate,
                                             leadingSilentFrames(song, facts, 5))};
        if (row.size() > 5) {
            const SongInfo info = SongMeasurer(engine).measureSong(path, true);
            answer << info.title << info.artist << info.album;
        }
        return answer.join(u' ');
    });
}

// Songs that the engine said are MPEG audio of the given rate, first-frame bitrate 128.
TEST(LeadingSilentFramesTest, SilenceInMillisecondsAtTheEnginesRateAndCounterLimit) {
    FakePlaybackEngine engine;
    QTemporaryDir dir;
    test::expectAnswers(u"song/measurements.tsv"_s, 3, [&](const QStringList& row) {
        engine.facts.sampleRate = row[0].toInt();
        const SongInfo info =
            SongMeasurer(engine).measureSong(test::songFile(row[1], dir), row[2] == u"1");
        return QStringLiteral("%1 %2 %3")
            .arg(info.sampleRate)
            .arg(info.silencemSec)
            .arg(QString::number(info.timeRatio, 'g', 15));
    });
}

} // namespace
} // namespace tavorin
