#include "report/run_report.h"

#include "settings/settings_store.h"

#include "tavorin/version.h"

#include <QFile>
#include <QJsonDocument>


namespace tavorin {

namespace {

QString encodingCode(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Cp932:
        return QStringLiteral("cp932");
    case TextEncoding::Utf8:
        return QStringLiteral("utf-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("utf-8-bom");
    case TextEncoding::Utf16LeBom:
        return QStringLiteral("utf-16le-bom");
    case TextEncoding::Utf16BeBom:
        return QStringLiteral("utf-16be-bom");
    }
    return {};
}

template <typename T> QJsonValue valueOrNull(const std::optional<T>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString timeText(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

} // namespace


QString fileOutcomeCode(FileOutcome outcome) {
    static const char* const codes[fileOutcomeCount] = {
        "written",     "already_yours",     "already_tagged", "song_not_found",
        "read_failed", "conversion_failed", "write_failed",
    };
    return QLatin1String(codes[static_cast<int>(outcome)]);
}

RunReport::RunReport(const WizardSettings& settings, bool isDryRun, SongLength length)
    : dryRun(isDryRun), songLength(std::move(length)),
      started(QDateTime::currentDateTime()) {
    // Named as in the settings file.
    settingsUsed = QJsonObject::fromVariantMap(settingsByKey(settings));
}

void RunReport::addFile(const LyricsFileRecord& record) {
    files.append(record);
    // A preview's texts are no part of the report.
    files.last().oldText.clear();
    files.last().newText.clear();
}

void RunReport::finish(const RunSummary& runSummary, const QString& journalRunId) {
    ended = QDateTime::currentDateTime();
    summary = runSummary;
    journalRun = journalRunId;
}

QJsonObject RunReport::fileJson(const LyricsFileRecord& record) const {
    const bool written = record.outcome == FileOutcome::Written;
    QJsonArray warnings;
    const std::optional<std::int32_t> length = record.songPath.isEmpty() || !record.lastTimeTagmSec
                                                   ? std::nullopt
                                                   : songLength(record.songPath);
    // Tags past the end of the song: the wrong song, or tags made in another time base.
    if (length && *record.lastTimeTagmSec > *length) {
        warnings.append(QJsonObject{
            {QStringLiteral("code"), QStringLiteral("last_time_tag_beyond_song_end")},
            {QStringLiteral("message"),
             QStringLiteral("最後のタイムタグ (%1 ms) が曲の終わり (%2 ms) より後です。")
                 .arg(*record.lastTimeTagmSec)
                 .arg(*length)},
        });
    }
    const bool silenceStated = record.fileSilencemSec && *record.fileSilencemSec >= 0;
    return QJsonObject{
        {QStringLiteral("path"), record.lyricsPath},
        {QStringLiteral("song"), textOrNull(record.songPath)},
        {QStringLiteral("outcome"),
         record.outcome ? fileOutcomeCode(*record.outcome) : QStringLiteral("not_handled")},
        {QStringLiteral("message"), record.message},
        {QStringLiteral("encoding_read"),
         record.encoding ? QJsonValue(encodingCode(*record.encoding)) : QJsonValue()},
        {QStringLiteral("encoding_written"),
         record.encoding && written ? QJsonValue(encodingCode(*record.encoding)) : QJsonValue()},
        {QStringLiteral("time_ratio_before"), valueOrNull(record.ratioBefore)},
        {QStringLiteral("time_ratio_after"),
         written ? valueOrNull(record.ratioAfter) : QJsonValue()},
        {QStringLiteral("silence_in_file_ms"),
         silenceStated ? QJsonValue(*record.fileSilencemSec) : QJsonValue()},
        {QStringLiteral("silence_in_song_ms"), valueOrNull(record.songSilencemSec)},
        {QStringLiteral("shift_ms"), written ? valueOrNull(record.shiftmSec) : QJsonValue()},
        {QStringLiteral("shift_measurement"), textOrNull(record.shiftMeasurement)},
        {QStringLiteral("time_tags_changed"), written ? record.timeTagsChanged : 0},
        {QStringLiteral("reversal_repaired"), written && record.reversalRepaired},
        {QStringLiteral("last_time_tag_ms"), valueOrNull(record.lastTimeTagmSec)},
        {QStringLiteral("song_length_ms"), valueOrNull(length)},
        {QStringLiteral("warnings"), warnings},
    };
}

QByteArray RunReport::toJson() const {
    QJsonArray filesJson;
    for (const LyricsFileRecord& record : files) {
        filesJson.append(fileJson(record));
    }
    QJsonObject counts;
    for (int i = 0; i < fileOutcomeCount; ++i) {
        counts.insert(fileOutcomeCode(static_cast<FileOutcome>(i)), summary.outcomeCounts[i]);
    }
    const QJsonObject report{
        {QStringLiteral("program"), QStringLiteral("Tavorin補正Wizard")},
        {QStringLiteral("program_version"), QLatin1String(programVersion)},
        {QStringLiteral("settings"), settingsUsed},
        {QStringLiteral("dry_run"), dryRun},
        {QStringLiteral("started"), timeText(started)},
        {QStringLiteral("ended"), timeText(ended.isValid() ? ended : started)},
        {QStringLiteral("aborted"), summary.aborted},
        {QStringLiteral("journal_run"), textOrNull(journalRun)},
        {QStringLiteral("counts"), counts},
        {QStringLiteral("files"), filesJson},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

WriteResult RunReport::write(const QString& path) const {
    return writeFileAtomically(path, toJson());
}

} // namespace tavorin
