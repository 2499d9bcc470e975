#pragma once

// The whole-run scenarios of tests/data/run/golden, compared against their golden files by the
// run driver here and by tavorin-cli in tests/cli, so both front ends give the same Run Log
// and bytes. Each scenario folder holds scenario.txt (its settings and songs), input/ and
// expected/.

#include "run/run_test_support.h"
#include "settings/wizard_settings.h"

#include <QDirIterator>

#include <algorithm>
#include <utility>
#include <vector>

namespace tavorin::testing {

struct GoldenScenario {
    QString name;
    QString folder;
    WizardSettings settings;                        // the Song Folder is set by goldenSettings
    std::vector<std::pair<QString, QString>> songs; // target below the root, song file
};

inline QString runDataDir() {
    return QStringLiteral(TAVORIN_TEST_DATA_DIR "/run");
}

inline std::vector<GoldenScenario> goldenScenarios() {
    std::vector<GoldenScenario> scenarios;
    const QString golden = runDataDir() + QStringLiteral("/golden");
    for (const QString& name : QDir(golden).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        GoldenScenario scenario{name, golden + u'/' + name, {}, {}};
        scenario.settings.name = QStringLiteral("テスター");
        const QString text = QString::fromUtf8(readBytes(scenario.folder + "/scenario.txt"_L1));
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList words = line.split(u' ');
            if (line.startsWith(u'#') || words.size() != 2) {
                continue;
            } else if (bool WizardSettings::*const on = settingSwitch(words[0])) {
                scenario.settings.*on = words[1] == "true"_L1;
            } else {
                scenario.songs.emplace_back(words[0], runDataDir() + "/songs/"_L1 + words[1]);
            }
        }
        scenarios.push_back(scenario);
    }
    return scenarios;
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

// Lays the scenario out below root: its lyrics files and its songs.
inline bool prepareScenario(const GoldenScenario& scenario, const QString& root) {
    std::vector<std::pair<QString, QString>> copies = scenario.songs;
    for (const QString& file : filesBelow(scenario.folder + "/input"_L1)) {
        copies.emplace_back(file, scenario.folder + "/input/"_L1 + file);
    }
    return std::all_of(copies.begin(), copies.end(), [&](const auto& copy) {
        return writeBytes(root + u'/' + copy.first, readBytes(copy.second));
    });
}

} // namespace tavorin::testing
