#include "run/lyrics_file_steps.h"

#include "lyrics/lyrics_file.h"

namespace tavorin {

void forEachLyricsFile(const QStringList& lyricsFiles, LyricsFileSteps& steps,
                       const std::function<void(const QString& lyricsPath)>& handleFile) {
    const int count = static_cast<int>(lyricsFiles.size());
    for (int i = 0; i < count; ++i) {
        steps.host.processEvents();
        if (steps.host.abortRequested()) {
            steps.summary.aborted = true;
            return;
        }
        steps.host.setProgress(i, count);
        handleFile(lyricsFiles.at(i));
        ++steps.summary.filesHandled;
    }
    steps.host.setProgress(count, count);
}

void logFileOutcome(LyricsFileSteps& steps, FileOutcome outcome, const QString& message) {
    ++steps.summary.outcomeCounts[static_cast<int>(outcome)];
    steps.host.appendLog(message + crlf + crlf);
}

std::optional<PreparedLyricsFile> findSongAndReadLyrics(const QString& lyricsPath,
                                                        LyricsFileSteps& steps) {
    steps.host.appendLog(QStringLiteral("歌詞ファイル：") + lyricsPath + crlf);
    const QString songPath = steps.songLookup.find(lyricsPath);
    if (songPath.isEmpty()) {
        logFileOutcome(steps, FileOutcome::SongNotFound, QStringLiteral("曲ファイル　：見つかりませんでした。"));
        return std::nullopt;
    }
    steps.host.appendLog(QStringLiteral("曲ファイル　：") + songPath + crlf);

    PreparedLyricsFile prepared;
    prepared.song = steps.measureSong(songPath, steps.settings.winampTime);
    prepared.reading = readLyricsRecord(lyricsPath, steps.settings.defaultTime);
    if (prepared.reading.failure != LyricsReadFailure::None) {
        // Never overwrite a file that was not read whole: it would lose its lyrics.
        logFileOutcome(steps, FileOutcome::ReadFailed,
                       lyricsReadFailureMessage(prepared.reading.failure));
        return std::nullopt;
    }
    return prepared;
}

void writeLyricsAndReport(const QString& lyricsPath, const QString& text, TextEncoding encoding,
                          LyricsFileSteps& steps) {
    if (!steps.dryRun) {
        const WriteResult result = steps.writeLyrics(lyricsPath, text, encoding);
        if (result.outcome != WriteOutcome::Written) {
            QString message = result.outcome == WriteOutcome::CannotOpen
                                  ? QStringLiteral("歌詞ファイルが開けません。")
                                  : QStringLiteral("歌詞ファイルに書き込めません。");
            // The platform's own words say which of many causes it was (a full disk, a
            // read-only folder, ...), so the user knows what to mend.
            if (!result.systemMessage.isEmpty()) {
                message += QStringLiteral("（") + result.systemMessage + QStringLiteral("）");
            }
            logFileOutcome(steps, FileOutcome::WriteFailed, message);
            return;
        }
    }
    logFileOutcome(steps, FileOutcome::Written, QStringLiteral("正常に処理しました。"));
}

} // namespace tavorin
