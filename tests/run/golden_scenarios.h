#pragma once

// The whole-run scenarios of tests/data/run/golden, run through tavorin-cli by tests/cli. Each
// scenario folder holds scenario.txt (the options, then where each song goes), input/ and
// expected/ (the Run Log and every lyrics file after the run).

#include "run/run_test_support.h"

#include <QDirIterator>
#include <QRegularExpression>

namespace tavorin::testing {

// The folder of each scenario.
inline QStringList goldenScenarios() {
    const QString golden = TAVORIN_TEST_DATA_DIR "/run/golden/"_L1;
    return QDir(golden)
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .replaceInStrings(QRegularExpression("^"_L1), golden);
}

// Every file below folder, as paths relative to it, sorted.
inline QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        files.append(QDir(folder).relativeFilePath(walk.next()));
    }
    files.sort();
    return files;
}

// Lays the scenario out below root, emptied first (its input files and its songs), and gives
// its options; none at all when a file could not be written.
inline QStringList prepareScenario(const QString& scenario, const QString& root) {
    bool laidOut = QDir(root).removeRecursively();
    for (const QString& file : filesBelow(scenario + "/input"_L1)) {
        laidOut &= writeBytes(root + u'/' + file, readBytes(scenario + "/input/"_L1 + file));
    }
    QStringList options;
    const QString text = QString::fromUtf8(readBytes(scenario + "/scenario.txt"_L1));
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(u' ');
        if (line.startsWith(u'-')) {
            options += words;
        } else if (!line.startsWith(u'#')) {
            laidOut &=
                writeBytes(root + u'/' + words[0],
                           readBytes(TAVORIN_TEST_DATA_DIR "/run/songs/"_L1 + words.value(1)));
        }
    }
    return laidOut ? options : QStringList();
}

} // namespace tavorin::testing
