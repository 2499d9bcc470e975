#pragma once

// The whole-run scenarios compared against golden files: by the run driver here and by
// tavorin-cli in tests/cli, so both front ends are held to the same Run Log and bytes.

#include "settings/wizard_settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <vector>

namespace tavorin::testing {

struct SongPlacement {
    const char* target; // below the scenario's root
    const char* song;   // in tests/data/run/songs
};

struct GoldenScenario {
    const char* name; // folder in tests/data/run/golden
    bool newMode;
    bool rmp;
    bool atArtist;
    std::vector<SongPlacement> songs;
};

inline const std::vector<GoldenScenario>& goldenScenarios() {
    static const std::vector<GoldenScenario> scenarios = {
        {"new_tag",
         true,
         false,
         true,
         {
             {"lyrics/01_line_cp932.mp3", "silence250.mp3"},
             {"songs/01_line_cp932.mp3", "nosilence.mp3"}, // beside the lyrics wins
             {"songs/sub/02_WORD_UTF8.mp3", "silence500.mp3"},
             {"lyrics/03_tagged.mp3", "nosilence.mp3"},
             {"lyrics/04_rmp.rmp", "silence300.rmp"},
             {"songs/.cache/05_missing.mp3", "nosilence.mp3"}, // dot-folders are skipped
             {"songs/a/06_48k.mp3", "rate48k.mp3"},
             {"lyrics/sub/07_upper.MP3", "silence250.mp3"},
         }},
        {"correction",
         false,
         true,
         false,
         {
             {"lyrics/01_std_to_winamp_cp932.mp3", "silence250.mp3"},
             {"lyrics/02_utf8_word.mp3", "silence500.mp3"},
             {"lyrics/03_own.mp3", "nosilence.mp3"},
             {"lyrics/04_rmp.rmp", "silence300.rmp"},
             {"lyrics/04_rmp.mp3", "nosilence.mp3"}, // the RMP is preferred
             {"lyrics/05_bad_ratio.mp3", "nosilence.mp3"},
             {"lyrics/06_broken.mp3", "nosilence.mp3"},
             {"songs/other.mp3", "nosilence.mp3"},
             {"songs/deep/x/08_48k_index.mp3", "rate48k.mp3"},
         }},
    };
    return scenarios;
}

inline QString runDataDir() {
    return QStringLiteral(TAVORIN_TEST_DATA_DIR "/run");
}

inline QString goldenDir(const GoldenScenario& scenario) {
    return runDataDir() + QStringLiteral("/golden/") + QString::fromUtf8(scenario.name);
}

// The Wizard Settings of a scenario; the Song Folder lies in root.
inline WizardSettings goldenSettings(const GoldenScenario& scenario, const QString& root) {
    WizardSettings settings;
    settings.newMode = scenario.newMode;
    settings.name = QStringLiteral("テスター");
    settings.songFolder = root + QStringLiteral("/songs/");
    settings.rmp = scenario.rmp;
    settings.atArtist = scenario.atArtist;
    return settings;
}

inline bool copyTree(const QString& from, const QString& to) {
    QDirIterator walk(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString file = walk.next();
        const QString target = to + file.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target)) {
            return false;
        }
    }
    return true;
}

// Lays the scenario out below root: its lyrics files and its songs.
inline bool prepareScenario(const GoldenScenario& scenario, const QString& root) {
    if (!copyTree(goldenDir(scenario) + QStringLiteral("/input"), root)) {
        return false;
    }
    for (const SongPlacement& placement : scenario.songs) {
        const QString target = root + u'/' + QString::fromUtf8(placement.target);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) ||
            !QFile::copy(runDataDir() + QStringLiteral("/songs/") +
                             QString::fromUtf8(placement.song),
                         target)) {
            return false;
        }
    }
    return true;
}

// Every file below folder, as paths relative to it, sorted.
inline QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        files.append(walk.next().mid(folder.size() + 1));
    }
    files.sort();
    return files;
}

} // namespace tavorin::testing
