#include "run/correction_mode.h"

#include "lyrics/time_tag.h"
#include "run/at_tag_block.h"

#include <algorithm>
#include <cmath>

namespace tavorin {

namespace {

bool ownFile(const LyricsRecord& record, const QString& name) {
    return record.editedBy == name || (record.editedBy.isEmpty() && record.taggingBy == name);
}

QString failureMessage(CorrectionFailure failure) {
    return failure == CorrectionFailure::BadTimeRatio
               ? QStringLiteral("＠TimeRatio の値が正しくないので変換しません。")
               : QStringLiteral("補正後の時間が範囲を超えるので変換しません。");
}

bool isTimeInSong(const TagEntry& entry) {
    return entry.role == TagRole::Lyric || entry.role == TagRole::RubyTime;
}

// Rewrites every entry's time and tag text; on a failure the entries are partly rewritten
// and must not be used. Times in the song are converted and shifted; a ruby reading's
// offsets count from the moment its text is sung, so they change time base but are never
// shifted; tags of other software's At-Tag lines are left as they are.
CorrectionFailure correctEntries(std::vector<TagEntry>& entries, const TimeCorrection& correction) {
    if (!isPlausibleTimeRatio(correction.fileRatio) ||
        !isPlausibleTimeRatio(correction.songRatio)) {
        return CorrectionFailure::BadTimeRatio;
    }
    TimeCorrection offsetCorrection = correction;
    offsetCorrection.shiftSilence = false;
    for (TagEntry& entry : entries) {
        if (entry.role == TagRole::Foreign) {
            continue;
        }
        const std::optional<std::int32_t> time =
            correctTagTime(entry.time, isTimeInSong(entry) ? correction : offsetCorrection);
        if (!time) {
            return CorrectionFailure::OutOfRange;
        }
        rewriteTimeTag(entry, *time, entry.shape);
    }
    return CorrectionFailure::None;
}

} // namespace

bool isPlausibleTimeRatio(double ratio) {
    return std::isfinite(ratio) && ratio >= 0.5 && ratio <= 2.0;
}

void correctLyricsFile(const QString& lyricsPath, LyricsFileSteps& steps) {
    const std::optional<PreparedLyricsFile> prepared = findSongAndReadLyrics(lyricsPath, steps);
    if (!prepared) {
        return;
    }
    const WizardSettings& settings = steps.settings;
    const SongInfo& song = prepared->song;
    const LyricsRecord& record = prepared->reading.record;

    if (settings.ignoreOwn && ownFile(record, settings.name)) {
        logFileOutcome(steps, FileOutcome::AlreadyYours,
                       QStringLiteral("すでにあなたの名前で合わせてあります"));
        return;
    }

    TaggedBody body = splitTimeTags(record.text);
    const std::vector<std::int32_t> timesAsRead = timeTagTimes(body);
    if (settings.karaoke && repairTagReversals(body)) {
        steps.host.appendLog(QStringLiteral("逆転補正をします。") + crlf);
        steps.record.reversalRepaired = true;
    }

    // Only a file that carries its own decoded start has the song decoded: without one, the
    // frame counts decide and the block goes without "@AudioStartmSec=" (it would cost every
    // such file a decoding, and the tags fit the song by the frame counts all the same).
    std::optional<std::int32_t> songStart;
    if (record.audioStartmSec >= 0 && song.decodeAudioStart) {
        songStart = song.decodeAudioStart();
    }
    TimeCorrection correction;
    correction.fileRatio = record.timeRatio;
    correction.songRatio = song.timeRatio;
    correction.fileSilence = record.silencemSec;
    correction.songSilence = song.silencemSec;
    if (songStart) {
        correction.silenceMeasure = SilenceMeasure::DecodedStart;
        correction.fileSilence = record.audioStartmSec;
        correction.songSilence = *songStart;
    }
    correction.shiftSilence = settings.silencemSec && record.silencemSec >= 0 &&
                              correction.fileSilence != correction.songSilence;
    const bool ratioChange = song.timeRatio != record.timeRatio;
    const bool anyTagToCorrect =
        std::any_of(body.entries.begin(), body.entries.end(),
                    [](const TagEntry& entry) { return entry.role != TagRole::Foreign; });
    if (anyTagToCorrect && (correction.shiftSilence || ratioChange)) {
        steps.host.appendLog(QStringLiteral("時間補正をします。") + crlf);
        const CorrectionFailure failure = correctEntries(body.entries, correction);
        if (failure != CorrectionFailure::None) {
            logFileOutcome(steps, FileOutcome::ConversionFailed, failureMessage(failure));
            return;
        }
    }
    const bool shifted = anyTagToCorrect && correction.shiftSilence;
    steps.record.shiftmSec = shifted ? correction.songSilence - correction.fileSilence : 0;
    if (shifted) {
        steps.record.shiftMeasurement =
            correction.silenceMeasure == SilenceMeasure::DecodedStart
                ? QStringLiteral("decoded_start")
                : QStringLiteral("silent_frames");
    }
    steps.record.ratioAfter = song.timeRatio;
    recordTimeTags(steps.record, timesAsRead, body);

    AtTagBlock block = atTagBlockFor(song, record, settings.atArtist);
    block.taggingBy = record.taggingBy;
    block.editedBy = settings.name;
    block.audioStartmSec = songStart;

    writeLyricsAndReport(lyricsPath, lyricsTextWithBlock(joinTimeTags(body), block),
                         prepared->reading.encoding, steps);
}

void runCorrectionMode(const QStringList& lyricsFiles, LyricsFileSteps& steps) {
    forEachLyricsFile(lyricsFiles, steps,
                      [&](const QString& path) { correctLyricsFile(path, steps); });
}

} // namespace tavorin
