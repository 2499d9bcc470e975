#include "run/run_context.h"

#include "lyrics/lyrics_file.h"

namespace tavorin {

void forEachLyricsFile(const QStringList& lyricsFiles, RunContext& context,
                       const std::function<void(const QString& lyricsPath)>& handleFile) {
    const int count = static_cast<int>(lyricsFiles.size());
    for (int i = 0; i < count; ++i) {
        context.host.processEvents();
        if (context.host.abortRequested()) {
            context.summary.aborted = true;
            return;
        }
        context.host.setProgress(i, count);
        handleFile(lyricsFiles.at(i));
        ++context.summary.filesHandled;
    }
    context.host.setProgress(count, count);
}

void logFileOutcome(RunContext& context, const QString& message) {
    context.host.appendLog(message + crlf + crlf);
}

std::optional<PreparedLyricsFile> findSongAndReadLyrics(const QString& lyricsPath,
                                                        RunContext& context) {
    context.host.appendLog(QStringLiteral("歌詞ファイル：") + lyricsPath + crlf);
    const QString songPath = context.songLookup.find(lyricsPath);
    if (songPath.isEmpty()) {
        logFileOutcome(context, QStringLiteral("曲ファイル　：見つかりませんでした。"));
        return std::nullopt;
    }
    context.host.appendLog(QStringLiteral("曲ファイル　：") + songPath + crlf);

    PreparedLyricsFile prepared;
    prepared.song = context.measureSong(songPath, context.settings.winampTime);
    prepared.reading = readLyricsRecord(lyricsPath, context.settings.defaultTime);
    if (prepared.reading.failure != LyricsReadFailure::None) {
        // Never overwrite a file that was not read whole: it would lose its lyrics.
        logFileOutcome(context, lyricsReadFailureMessage(prepared.reading.failure));
        ++context.summary.readFailures;
        return std::nullopt;
    }
    return prepared;
}

void writeLyricsAndReport(const QString& lyricsPath, const QString& text, TextEncoding encoding,
                          RunContext& context) {
    if (!context.dryRun) {
        const WriteResult result = context.writeLyrics(lyricsPath, text, encoding);
        if (result.outcome != WriteOutcome::Written) {
            ++context.summary.writeFailures;
            QString message = result.outcome == WriteOutcome::CannotOpen
                                  ? QStringLiteral("歌詞ファイルが開けません。")
                                  : QStringLiteral("歌詞ファイルに書き込めません。");
            // The platform's own words say which of many causes it was (a full disk, a
            // read-only folder, ...), so the user knows what to mend.
            if (!result.systemMessage.isEmpty()) {
                message += QStringLiteral("（") + result.systemMessage + QStringLiteral("）");
            }
            logFileOutcome(context, message);
            return;
        }
    }
    logFileOutcome(context, QStringLiteral("正常に処理しました。"));
}

} // namespace tavorin
