// Reads generated word-timed lyrics files of growing size and prints how long each takes, to
// show that reading stays linear: each file is twice the size of the one before, so linear
// reading takes about twice as long ("x prev" near 2) where a quadratic one would take four
// times as long.
//
// Usage: lyrics_read_bench [runs]   (default 7 runs per size; the median is reported)

#include "lyrics/lyrics_file.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdio>
#include <vector>

namespace {

using tavorin::TextEncoding;

// One word-timed line, "[00:12:34]さ[00:12:84]く[00:13:34]ら" with a running time, CR LF.
QByteArray wordTimedLine(int index, TextEncoding encoding) {
    const int centiseconds = index * 150;
    QByteArray line;
    const char* const syllables[] = {"\xE3\x81\x95", "\xE3\x81\x8F", "\xE3\x82\x89",
                                     "\xE6\xA1\x9C"};
    for (int word = 0; word < 4; ++word) {
        const int time = centiseconds + word * 37;
        char tag[16];
        std::snprintf(tag, sizeof tag, "[%02d:%02d:%02d]", time / 6000 % 100, time / 100 % 60,
                      time % 100);
        line += tag;
        line += syllables[word];
    }
    line += "\r\n";
    return encoding == TextEncoding::Utf8
               ? line
               : tavorin::encodeText(QString::fromUtf8(line), TextEncoding::Cp932);
}

QByteArray generateFile(qint64 bytes, TextEncoding encoding) {
    QByteArray text;
    text.reserve(bytes + 128);
    for (int index = 0; text.size() < bytes; ++index) {
        text += wordTimedLine(index, encoding);
    }
    return text;
}

double medianMs(const QString& path, int runs, qsizetype& lineCount) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const tavorin::LyricsLines read = tavorin::readLyricsLines(path);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        lineCount = read.lines.size();
        if (read.failure != tavorin::LyricsReadFailure::None) {
            std::fprintf(stderr, "reading %s failed\n", qPrintable(path));
            return -1.0;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
#ifdef __GLIBC__
    // Keep freed memory in the process: otherwise glibc hands large blocks back to the kernel
    // after every run and the next run pays for fresh pages, a cost that jumps at allocator
    // thresholds and hides how the reading itself scales.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const double sizesMiB[] = {0.5, 1.0, 2.0, 4.0, 8.0};
    std::printf("%-10s %8s %8s %10s %10s %8s\n", "encoding", "MiB", "lines", "median ms", "ms/MiB",
                "x prev");
    for (const TextEncoding encoding : {TextEncoding::Cp932, TextEncoding::Utf8}) {
        double previousMs = 0.0;
        for (const double mib : sizesMiB) {
            const QByteArray bytes = generateFile(static_cast<qint64>(mib * 1024 * 1024), encoding);
            const QString path = folder.filePath(QStringLiteral("bench.lrc"));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(bytes) != bytes.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            file.close();
            qsizetype lines = 0;
            const double ms = medianMs(path, runs, lines);
            if (ms < 0) {
                return 1;
            }
            const double actualMiB = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
            const double perMiB = ms / actualMiB;
            std::printf("%-10s %8.2f %8lld %10.2f %10.2f %8.2f\n",
                        encoding == TextEncoding::Utf8 ? "utf-8" : "cp932", actualMiB,
                        static_cast<long long>(lines), ms, perMiB,
                        previousMs > 0.0 ? ms / previousMs : 0.0);
            previousMs = ms;
        }
    }
    std::printf("x prev: time against the file half the size; near 2 means linear, 4 quadratic.\n");
    return 0;
}
