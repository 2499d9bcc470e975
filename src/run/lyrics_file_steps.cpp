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
        steps.record = LyricsFileRecord{};
        steps.record.lyricsPath = lyricsFiles.at(i);
        handleFile(lyricsFiles.at(i));
        ++steps.summary.filesHandled;
    }
    steps.host.setProgress(count, count);
}

void logFileOutcome(LyricsFileSteps& steps, FileOutcome outcome, const QString& message) {
    ++steps.summary.outcomeCounts[static_cast<int>(outcome)];
    steps.host.appendLog(message + crlf + crlf);
    if (steps.recordFile) {
        steps.record.outcome = outcome;
        steps.record.message = message;
        steps.recordFile(steps.record);
    }
}

std::vector<std::int32_t> timeTagTimes(const TaggedBody& body) {
    std::vector<std::int32_t> times;
    times.reserve(body.entries.size());
    for (const TagEntry& entry : body.entries) {
        times.push_back(entry.time);
    }
    return times;
}

void recordTimeTags(LyricsFileRecord& record, const std::vector<std::int32_t>& before,
                    const TaggedBody& after) {
    record.timeTagsChanged = 0;
    for (std::size_t i = 0; i < after.entries.size(); ++i) {
        const TagEntry& entry = after.entries[i];
        record.timeTagsChanged += i < before.size() && before[i] != entry.time ? 1 : 0;
        if (entry.role == TagRole::Lyric &&
            (!record.lastTimeTagmSec || entry.time > *record.lastTimeTagmSec)) {
            record.lastTimeTagmSec = entry.time;
        }
    }
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
    steps.record.songPath = songPath;

    PreparedLyricsFile prepared;
    prepared.song = steps.measureSong(songPath, steps.settings.winampTime);
    steps.record.songSilencemSec = prepared.song.silencemSec;
    prepared.reading = readLyricsRecord(lyricsPath, steps.settings.defaultTime);
    if (prepared.reading.failure == LyricsReadFailure::None) {
        const LyricsRecord& read = prepared.reading.record;
        steps.record.encoding = prepared.reading.encoding;
        steps.record.ratioBefore = read.timeRatio;
        steps.record.fileSilencemSec = read.silencemSec;
        if (steps.keepTexts) {
            steps.record.oldText = prepared.reading.text;
        }
    }
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
    if (steps.keepTexts) {
        steps.record.newText = text;
    }
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
