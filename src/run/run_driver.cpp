#include "run/run_driver.h"

#include "run/correction_mode.h"
#include "run/new_tag_mode.h"
#include "run/song_index.h"
#include "run/song_lookup.h"
#include "shell/atomic_file_writer.h"
#include "shell/path_utils.h"
#include "song/song_measurer.h"

#include <QFileInfo>
#include <QSet>

#include <memory>

namespace tavorin {

namespace {

// The lyrics file replaced on disk, atomically, in the encoding it was read in.
WriteResult writeToDisk(const QString& path, const QString& text, TextEncoding encoding) {
    return writeLyricsFile(path, text, encoding);
}

QString unreadableSongText(const QString& shownPath) {
    return QStringLiteral("ファイル名が UTF-8 ではないので曲として探せません: ") + shownPath;
}

QString unreadableFolderText(const QString& shownPath) {
    return QStringLiteral("フォルダ名が UTF-8 ではないので曲を探せません: ") + shownPath;
}

} // namespace

RunDriver::RunDriver(RunHost& runHost, PlaybackEngine& engine, LyricsWriter write)
    : host(runHost), writeLyrics(write ? std::move(write) : LyricsWriter(writeToDisk)) {
    auto measurer = std::make_shared<SongMeasurer>(engine);
    measureSong = [measurer](const QString& songPath, bool winampTime) {
        return measurer->measureSong(songPath, winampTime);
    };
}

RunDriver::RunDriver(RunHost& runHost, SongMeasure measure, LyricsWriter write)
    : host(runHost), measureSong(std::move(measure)),
      writeLyrics(write ? std::move(write) : LyricsWriter(writeToDisk)) {}

void RunDriver::recordFiles(LyricsFileRecorder recorder, bool keepFileTexts) {
    recordFile = std::move(recorder);
    keepTexts = keepFileTexts;
}

RunSummary RunDriver::run(const QStringList& lyricsFiles, const WizardSettings& settings,
                          bool dryRun) {
    host.showStatus(QStringLiteral("処理中です…"));
    if (!dryRun) {
        // A run killed in the middle of a replacement leaves its temporary file behind; the
        // next run over the same folders clears it (the lyrics file itself is old or new).
        QSet<QString> folders;
        for (const QString& path : lyricsFiles) {
            const QString folder = QFileInfo(path).absolutePath();
            if (!folders.contains(folder)) {
                folders.insert(folder);
                removeStaleTemporaryFiles(folder);
            }
        }
    }

    // Only a Song Folder that holds songs is ever searched.
    SongIndex songIndex;
    if (!settings.songFolder.isEmpty()) {
        songIndex.build(settings.songFolder, settings.rmp, [this] { host.processEvents(); });
    }
    for (const QString& shown : songIndex.unreadable()) {
        host.reportPassedOver(shown.endsWith(pathSeparator()) ? unreadableFolderText(shown)
                                                              : unreadableSongText(shown));
    }
    SongLookup songLookup(
        songIndex, settings.atFirstSameFolder, settings.rmp,
        [this](const QString& shown) { host.reportPassedOver(unreadableSongText(shown)); });

    RunSummary summary;
    LyricsFileSteps steps{host,   songLookup, measureSong, writeLyrics, settings,
                          dryRun, summary,    recordFile,  keepTexts};
    if (settings.newMode) {
        host.appendLog(QStringLiteral("新規追加開始") + crlf + crlf);
        runNewTagMode(lyricsFiles, steps);
    } else {
        host.appendLog(QStringLiteral("補正開始") + crlf + crlf);
        runCorrectionMode(lyricsFiles, steps);
    }

    if (summary.aborted) {
        host.appendLog(QStringLiteral("処理中断") + crlf);
        host.showStatus(QStringLiteral("中断しました。"));
    } else {
        host.appendLog(QStringLiteral("処理終了") + crlf);
        host.showStatus(QStringLiteral("終了しました。"));
    }
    return summary;
}

} // namespace tavorin
