// W1 and W2: builds the Song Index of a Song Folder, then looks up lyrics file names in it,
// half of them songs of the index (in another letter case), half names it does not hold.
//
// Usage: song_index_bench SONG_FOLDER [LOOKUPS]   (default 10000 lookups)
// Prints one line: songs=N build_wall_ms=W build_ms=X lookups=L lookup_ms=Y hits=H; build_ms
// and lookup_ms are processor times, lookup_ms the median of five passes over the same names

#include "run/song_index.h"
#include "shell/path_utils.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuMsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: song_index_bench SONG_FOLDER [LOOKUPS]\n");
        return 2;
    }
    const int lookups = arguments.size() > 2 ? arguments.at(2).toInt() : 10000;

    // Processor time, not wall time: on a shared machine the wall clock also counts the time
    // other programs held the processor.
    std::clock_t start = std::clock();
    QElapsedTimer wall;
    wall.start();
    tavorin::SongIndex index;
    index.build(arguments.at(1), false);
    const double buildWallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double buildMs = cpuMsSince(start);
    const qsizetype songs = index.entries().size();
    if (songs == 0) {
        std::fprintf(stderr, "no songs under %s\n", qPrintable(arguments.at(1)));
        return 1;
    }

    // The lyrics files come from elsewhere; only their base names meet the index.
    QStringList names;
    names.reserve(lookups);
    for (int i = 0; i < lookups; ++i) {
        if (i % 2 == 0) {
            const QString& song = index.entries().at((static_cast<qsizetype>(i) * 7919) % songs);
            names.append(QStringLiteral("/lyrics/") + tavorin::baseNameOf(song).toUpper() +
                         QStringLiteral(".txt"));
        } else {
            names.append(QStringLiteral("/lyrics/missing%1.txt").arg(i));
        }
    }
    // The lookups five times over, the median reported: one pass is short enough for a
    // single preemption on a busy machine to double it.
    std::vector<double> passes;
    int hits = 0;
    for (int pass = 0; pass < 5; ++pass) {
        hits = 0;
        start = std::clock();
        for (const QString& name : names) {
            if (!index.find(name).isEmpty()) {
                ++hits;
            }
        }
        passes.push_back(cpuMsSince(start));
    }
    std::sort(passes.begin(), passes.end());
    const double lookupMs = passes[passes.size() / 2];
    std::printf("songs=%lld build_wall_ms=%.3f build_ms=%.3f lookups=%d lookup_ms=%.3f hits=%d\n",
                static_cast<long long>(songs), buildWallMs, buildMs, lookups, lookupMs, hits);
    return 0;
}
