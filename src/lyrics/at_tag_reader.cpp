#include "lyrics/at_tag_reader.h"

#include "lyrics/at_tag_key.h"
#include "lyrics/at_tag_line.h"
#include "lyrics/lyrics_lines.h"
#include "shell/number_format.h"
#include "song/time_base.h"

#include <cmath>
#include <limits>

namespace tavorin {

namespace {

// The values of one reading that are not kept in the record.
struct Working {
    std::int32_t totalSec = 0;
    std::int32_t flames = 0;
    QString timeType;
    qsizetype line = 0; // of the line being read, from 0
    qsizetype lastSilenceLine = -1;
    // The "@AudioStartmSec=" value read straight after a "@SilencemSec=" line, and that line.
    std::int32_t startAfterSilence = -1;
    qsizetype startSilenceLine = -1;
};

// A decoded start is a whole number of milliseconds from 0 on; anything else is no value.
std::int32_t decodedStartValue(QStringView text) {
    const std::optional<double> value = parseDecimal(text);
    if (!value || !std::isfinite(*value) || *value < 0 ||
        *value > std::numeric_limits<std::int32_t>::max()) {
        return -1;
    }
    return integerValue(text);
}

// Applies a known key to the record and the working values.
void applyAtTag(AtTagKey key, QStringView value, LyricsRecord& record, Working& working) {
    switch (key) {
    case AtTagKey::TimeRatio:
        record.timeRatio = realValue(value);
        break;
    case AtTagKey::SilencemSec:
        record.silencemSec = integerValue(value);
        working.lastSilenceLine = working.line;
        break;
    case AtTagKey::Offset:
        record.offset = integerValue(value);
        break;
    case AtTagKey::Artist:
        record.artist = value.toString();
        break;
    case AtTagKey::Title:
        record.title = value.toString();
        break;
    case AtTagKey::Album:
        record.album = value.toString();
        break;
    case AtTagKey::Bgfile:
        record.bgfile = value.toString();
        break;
    case AtTagKey::Bgfolder:
        record.bgfolder = value.toString();
        break;
    case AtTagKey::TaggingBy:
        record.taggingBy = value.toString();
        break;
    case AtTagKey::EditedBy:
        record.editedBy = value.toString();
        break;
    case AtTagKey::Silence:
        // The line is consumed; its value has no use.
        break;
    case AtTagKey::TotalSec:
        working.totalSec = integerValue(value);
        break;
    case AtTagKey::Flames:
        working.flames = integerValue(value);
        break;
    case AtTagKey::TimeType:
        working.timeType = value.toString();
        break;
    case AtTagKey::AudioStartmSec:
        // Anywhere else the line is another program's copy of an old block: consumed, so the
        // rewritten file carries only the fresh one, but not believed.
        if (working.lastSilenceLine >= 0 && working.line == working.lastSilenceLine + 1) {
            working.startAfterSilence = decodedStartValue(value);
            working.startSilenceLine = working.lastSilenceLine;
        }
        break;
    }
}

// A stated non-zero ratio wins; then "@timetype"; else the user's default time base.
void settleTimeBase(LyricsRecord& record, const Working& working, bool defaultTime) {
    record.hasTiming = true;
    if (record.timeRatio != 0.0) {
        return;
    }
    if (equalsIgnoringAsciiCase(working.timeType, u"normal")) {
        record.timeRatio = 1.0;
        return;
    }
    if (equalsIgnoringAsciiCase(working.timeType, u"winamp")) {
        const std::int32_t rate = sampleRateEstimate(working.flames, working.totalSec);
        record.timeRatio = winampRatio(rate, frameSamples);
        return;
    }
    record.hasTiming = false;
    record.timeRatio = defaultTime ? defaultWinampRatio : 1.0;
}

} // namespace

std::int32_t integerValue(QStringView text) {
    const std::optional<double> value = parseDecimal(text);
    if (!value || !std::isfinite(*value)) {
        return 0;
    }
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(*value);
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return 0;
    }
    return static_cast<std::int32_t>(rounded);
}

double realValue(QStringView text) {
    const std::optional<double> value = parseDecimal(text);
    if (!value) {
        return 0.0;
    }
    const double rounded = roundTo15Digits(*value);
    return std::isfinite(rounded) ? rounded : 0.0;
}

LyricsRecord readAtTags(QStringView text, bool defaultTime) {
    LyricsRecord record;
    // Every line comes back with CR LF: room for that in files with LF alone, most of the time.
    record.text.reserve(text.size() + text.size() / 16 + 2);
    // Lines that already end in CR LF and follow one another go into the body in one piece.
    QStringView unchanged;
    const auto keepUnchanged = [&] {
        record.text += unchanged;
        unchanged = QStringView();
    };
    bool anyLine = false;
    Working working;
    forEachLyricsLine(text, [&](QStringView line, QStringView raw) {
        if (anyLine) {
            ++working.line;
        }
        anyLine = true;
        if (const std::optional<AtTagLine> atTag = splitAtTagLine(line)) {
            if (const std::optional<AtTagKey> key = findAtTagKey(atTag->key)) {
                applyAtTag(*key, atTag->value, record, working);
                keepUnchanged();
                return;
            }
        }
        const bool endsInCrLf = line.data() == raw.data() && raw.size() == line.size() + 2;
        if (endsInCrLf && unchanged.data() + unchanged.size() == raw.data()) {
            unchanged = QStringView(unchanged.data(), unchanged.size() + raw.size());
            return;
        }
        keepUnchanged();
        if (endsInCrLf) {
            unchanged = raw;
        } else {
            record.text += line;
            record.text += u"\r\n";
        }
    });
    keepUnchanged();
    if (!anyLine) {
        // Nothing to read: the time base stays unsettled (ratio 0, no timing).
        return LyricsRecord();
    }
    if (working.startSilenceLine == working.lastSilenceLine) {
        record.audioStartmSec = working.startAfterSilence;
    }
    settleTimeBase(record, working, defaultTime);
    return record;
}

} // namespace tavorin
