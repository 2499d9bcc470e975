// W5: measures songs the way a run does (engine facts, then the walk over the leading MPEG
// frames; then, as a mode asks for it, the decoded start) and prints, per song, what each
// measurement found and the median time of one measurement.
//
// Usage: silence_bench RUNS SONG...
// Prints one line per song: path TAB silence ms TAB median microseconds per measurement TAB
// decoded start ms (-1: none) TAB median microseconds per decoding

#include "song/song_measurer.h"
#include "song/taglib_playback_engine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: silence_bench RUNS SONG...\n");
        return 2;
    }
    const int runs = std::max(1, arguments.at(1).toInt());
    tavorin::TaglibPlaybackEngine engine;
    engine.init();
    tavorin::SongMeasurer measurer(engine);
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString& song = arguments.at(i);
        std::vector<double> times;
        std::vector<double> decodeTimes;
        std::int32_t silence = 0;
        std::optional<std::int32_t> start;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            const tavorin::SongInfo info = measurer.measureSong(song, false);
            silence = info.silencemSec;
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
            // Side by side with the frame walk, and as a run does it: after the measurement.
            timer.restart();
            start = info.decodeAudioStart ? info.decodeAudioStart() : std::nullopt;
            decodeTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
        }
        std::sort(times.begin(), times.end());
        std::sort(decodeTimes.begin(), decodeTimes.end());
        std::printf("%s\t%d\t%.1f\t%d\t%.1f\n", qPrintable(song), silence,
                    times[times.size() / 2], start.value_or(-1),
                    decodeTimes[decodeTimes.size() / 2]);
    }
    return 0;
}
