#include "run/new_tag_mode.h"

#include "lyrics/time_tag.h"
#include "run/at_tag_block.h"

namespace tavorin {

void tagLyricsFile(const QString& lyricsPath, LyricsFileSteps& steps) {
    const std::optional<PreparedLyricsFile> prepared = findSongAndReadLyrics(lyricsPath, steps);
    if (!prepared) {
        return;
    }
    const WizardSettings& settings = steps.settings;
    const SongInfo& song = prepared->song;
    const LyricsRecord& record = prepared->reading.record;

    if (record.hasTiming && settings.ignoreAtTag) {
        logFileOutcome(steps, FileOutcome::AlreadyTagged,
                       QStringLiteral("すでに＠タグがあるので無視します。"));
        return;
    }

    QString body = record.text;
    steps.record.shiftmSec = 0;
    steps.record.ratioAfter = song.timeRatio;
    // The Time Tags are looked at only to repair them or to tell about them.
    if (settings.karaoke || steps.recordFile) {
        TaggedBody tagged = splitTimeTags(body);
        const std::vector<std::int32_t> timesAsRead = timeTagTimes(tagged);
        if (settings.karaoke && repairTagReversals(tagged)) {
            steps.host.appendLog(QStringLiteral("タイムタグの逆転がありました。") + crlf);
            steps.record.reversalRepaired = true;
            body = joinTimeTags(tagged);
        }
        recordTimeTags(steps.record, timesAsRead, tagged);
    }

    AtTagBlock block = atTagBlockFor(song, record, settings.atArtist);
    block.taggingBy = settings.name;
    if (song.decodeAudioStart) {
        block.audioStartmSec = song.decodeAudioStart();
    }

    writeLyricsAndReport(lyricsPath, lyricsTextWithBlock(std::move(body), block),
                         prepared->reading.encoding, steps);
}

void runNewTagMode(const QStringList& lyricsFiles, LyricsFileSteps& steps) {
    forEachLyricsFile(lyricsFiles, steps,
                      [&](const QString& path) { tagLyricsFile(path, steps); });
}

} // namespace tavorin
