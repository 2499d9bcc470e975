#include "run/run_driver.h"

#include "run/correction_mode.h"
#include "run/new_tag_mode.h"
#include "run/song_index.h"
#include "run/song_lookup.h"
#include "song/song_measurer.h"

#include <memory>

namespace tavorin {

RunDriver::RunDriver(RunHost& runHost, PlaybackEngine& engine) : host(runHost) {
    auto measurer = std::make_shared<SongMeasurer>(engine);
    measureSong = [measurer](const QString& songPath, bool winampTime) {
        return measurer->measureSong(songPath, winampTime);
    };
}

RunDriver::RunDriver(RunHost& runHost, SongMeasure measure)
    : host(runHost), measureSong(std::move(measure)) {}

RunSummary RunDriver::run(const QStringList& lyricsFiles, const WizardSettings& settings,
                          bool dryRun) {
    host.showStatus(QStringLiteral("処理中です…"));

    // Only a Song Folder that holds songs is ever searched.
    SongIndex songIndex;
    if (!settings.songFolder.isEmpty()) {
        songIndex.build(settings.songFolder, settings.rmp, [this] { host.processEvents(); });
    }
    SongLookup songLookup(songIndex, settings.atFirstSameFolder, settings.rmp);

    RunSummary summary;
    RunContext context{host, songLookup, measureSong, settings, dryRun, summary};
    if (settings.newMode) {
        host.appendLog(QStringLiteral("新規追加開始") + crlf + crlf);
        runNewTagMode(lyricsFiles, context);
    } else {
        host.appendLog(QStringLiteral("補正開始") + crlf + crlf);
        runCorrectionMode(lyricsFiles, context);
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
