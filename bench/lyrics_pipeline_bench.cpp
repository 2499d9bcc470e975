// W6: one large word-timed lyrics file through a whole Correction Mode run (read, split into
// Tag Entries, repair reversals, convert the time base and shift for silence, join, write
// atomically), against plainly reading the file and writing its bytes back the same atomic way.
// The two alternate run by run, so both see the same machine. Sizes double from 0.5 to 4 MiB
// (or to MAX_MIB): linear work takes about twice as long each step ("x prev" near 2), where a
// quadratic one would take four times as long. "read" is reading and decoding alone.
//
// Usage: lyrics_pipeline_bench FOLDER [RUNS] [MAX_MIB]   (default 7 runs, 4 MiB)
// Prints a header line, then: MiB lines pipeline_ms plain_ms ratio read_ms ms_per_MiB x_prev

#include "lyrics/lyrics_file.h"
#include "run/run_driver.h"
#include "shell/atomic_file_writer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdio>
#include <vector>

namespace {

using tavorin::TextEncoding;

// One word-timed line, "[00:12:34]さ[00:12:84]く[00:13:34]ら[00:13:71]桜" with a running
// time; every 50th line holds a Tag Reversal for the repair to mend.
QByteArray wordTimedLine(int index) {
    const int centiseconds = index * 150;
    QByteArray line;
    const char* const syllables[] = {"\xE3\x81\x95", "\xE3\x81\x8F", "\xE3\x82\x89",
                                     "\xE6\xA1\x9C"};
    for (int word = 0; word < 4; ++word) {
        int time = centiseconds + word * 37;
        if (index % 50 == 49 && word == 2) {
            time -= 100;
        }
        char tag[16];
        std::snprintf(tag, sizeof tag, "[%02d:%02d:%02d]", time / 6000 % 100, time / 100 % 60,
                      time % 100);
        line += tag;
        line += syllables[word];
    }
    line += "\r\n";
    return tavorin::encodeText(QString::fromUtf8(line), TextEncoding::Cp932);
}

QByteArray generateFile(qint64 bytes) {
    QByteArray text = "@Title=Bench\r\n@TimeRatio=1\r\n@SilencemSec=100\r\n@TaggingBy=Tagger\r\n";
    text.reserve(bytes + 128);
    for (int index = 0; text.size() < bytes; ++index) {
        text += wordTimedLine(index);
    }
    return text;
}

class SilentHost : public tavorin::RunHost {
public:
    void appendLog(const QString& text) override { log += text; }
    void setProgress(int, int) override {}
    void processEvents() override {}
    bool abortRequested() override { return false; }
    void showStatus(const QString&) override {}
    QString log;
};

bool put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
#ifdef __GLIBC__
    // Keep freed memory in the process: otherwise glibc hands large blocks back to the kernel
    // after every run and the next run pays for fresh pages, a cost that jumps at allocator
    // thresholds and hides how the work itself scales.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || !QDir(arguments.at(1)).exists()) {
        std::fprintf(stderr, "usage: lyrics_pipeline_bench FOLDER [RUNS] [MAX_MIB]\n");
        return 2;
    }
    const int runs = arguments.size() > 2 ? std::max(1, arguments.at(2).toInt()) : 7;
    const double maxMiB = arguments.size() > 3 ? arguments.at(3).toDouble() : 4.0;
    const QString path = QDir(arguments.at(1)).filePath(QStringLiteral("pipeline.lrc"));
    // The song beside it is found by name; the measurement below never reads it.
    const QString songPath = QDir(arguments.at(1)).filePath(QStringLiteral("pipeline.mp3"));
    if (!put(songPath, QByteArray())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(songPath));
        return 1;
    }

    tavorin::WizardSettings settings;
    settings.newMode = false;
    settings.name = QStringLiteral("Bench");
    settings.winampTime = true;
    settings.silencemSec = true;
    settings.karaoke = true;
    settings.ignoreOwn = false;
    // The song: 44100 Hz in Winamp Time with 150 ms of leading silence, so every Time Tag is
    // converted and shifted.
    const auto measure = [](const QString&, bool) {
        tavorin::SongInfo song;
        song.timeRatio = 0.9953125;
        song.silencemSec = 150;
        return song;
    };

    std::printf("%8s %8s %12s %9s %7s %8s %10s %7s\n", "MiB", "lines", "pipeline_ms", "plain_ms",
                "ratio", "read_ms", "ms_per_MiB", "x_prev");
    double previousMs = 0.0;
    for (double mib = 0.5; mib <= maxMiB + 1e-9; mib *= 2) {
        const QByteArray original = generateFile(static_cast<qint64>(mib * 1024 * 1024));
        std::vector<double> pipelineMs;
        std::vector<double> plainMs;
        std::vector<double> readMs;
        qsizetype lines = 0;
        for (int run = 0; run < runs; ++run) {
            if (!put(path, original)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            QElapsedTimer timer;
            timer.start();
            SilentHost host;
            const tavorin::RunSummary summary =
                tavorin::RunDriver(host, measure).run({path}, settings);
            pipelineMs.push_back(msSince(timer));
            if (summary.failures() != 0 ||
                !host.log.contains(QStringLiteral("時間補正をします。"))) {
                std::fprintf(stderr, "the run failed:\n%s\n", qPrintable(host.log));
                return 1;
            }

            put(path, original);
            timer.restart();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                return 1;
            }
            const QByteArray bytes = file.readAll();
            file.close();
            const tavorin::WriteResult written = tavorin::writeFileAtomically(path, bytes);
            plainMs.push_back(msSince(timer));
            if (written.outcome != tavorin::WriteOutcome::Written) {
                return 1;
            }

            timer.restart();
            const tavorin::LyricsText read = tavorin::readLyricsText(path);
            readMs.push_back(msSince(timer));
            lines = read.text.count(u'\n');
        }
        const double actualMiB = static_cast<double>(original.size()) / (1024.0 * 1024.0);
        const double pipeline = median(pipelineMs);
        const double plain = median(plainMs);
        std::printf("%8.2f %8lld %12.2f %9.2f %7.2f %8.2f %10.2f %7.2f\n", actualMiB,
                    static_cast<long long>(lines), pipeline, plain, pipeline / plain,
                    median(readMs), pipeline / actualMiB,
                    previousMs > 0.0 ? pipeline / previousMs : 0.0);
        previousMs = pipeline;
    }
    QFile::remove(path);
    QFile::remove(songPath);
    return 0;
}
