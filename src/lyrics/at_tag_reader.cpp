#include "lyrics/at_tag_reader.h"

#include "lyrics/at_tag_line.h"

#include "shell/number_format.h"
#include "song/time_base.h"

#include <cmath>
#include <limits>

namespace tavorin {

namespace {

// Lower-cases ASCII letters only: no other character can be part of a known key, and a full
// Unicode mapping would let "@TİTLE" (dotted capital I) or a Kelvin sign pass for a key.
QString asciiLower(QStringView text) {
    QString out = text.toString();
    for (QChar& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(static_cast<char16_t>(c.unicode() + (u'a' - u'A')));
        }
    }
    return out;
}

// The values of one reading that are not kept in the record.
struct Working {
    std::int32_t totalSec = 0;
    std::int32_t flames = 0;
    QString timeType;
};

// Applies a known key to the record; false when the key is none of them, so that the line
// stays in the body.
bool applyAtTag(QStringView key, QStringView value, LyricsRecord& record, Working& working) {
    if (key == u"@timeratio") {
        record.timeRatio = realValue(value);
    } else if (key == u"@silencemsec") {
        record.silencemSec = integerValue(value);
    } else if (key == u"@offset") {
        record.offset = integerValue(value);
    } else if (key == u"@artist") {
        record.artist = value.toString();
    } else if (key == u"@title") {
        record.title = value.toString();
    } else if (key == u"@album") {
        record.album = value.toString();
    } else if (key == u"@bgfile") {
        record.bgfile = value.toString();
    } else if (key == u"@bgfolder") {
        record.bgfolder = value.toString();
    } else if (key == u"@taggingby") {
        record.taggingBy = value.toString();
    } else if (key == u"@editedby") {
        record.editedBy = value.toString();
    } else if (key == u"@silence") {
        // An old key: its line is consumed, its value has no use.
    } else if (key == u"@totalsec") {
        working.totalSec = integerValue(value);
    } else if (key == u"@flames") {
        working.flames = integerValue(value);
    } else if (key == u"@timetype") {
        working.timeType = asciiLower(value);
    } else {
        return false;
    }
    return true;
}

// A stated non-zero ratio wins; then "@timetype"; else the user's default time base.
void settleTimeBase(LyricsRecord& record, const Working& working, bool defaultTime) {
    record.hasTiming = true;
    if (record.timeRatio != 0.0) {
        return;
    }
    if (working.timeType == u"normal") {
        record.timeRatio = 1.0;
        return;
    }
    if (working.timeType == u"winamp") {
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
        anyLine = true;
        if (const std::optional<AtTagLine> atTag = splitAtTagLine(line)) {
            if (applyAtTag(asciiLower(atTag->key), atTag->value, record, working)) {
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
    settleTimeBase(record, working, defaultTime);
    return record;
}

LyricsReading readLyricsRecord(const QString& path, bool defaultTime) {
    LyricsText read = readLyricsText(path);
    LyricsReading reading;
    reading.encoding = read.encoding;
    reading.failure = read.failure;
    if (read.failure != LyricsReadFailure::None) {
        // An unreadable file keeps the reset record (ratio 0, no leading silence, no
        // timing); the failure says why, so a mode never mistakes it for an empty file.
        return reading;
    }
    reading.record = readAtTags(read.text, defaultTime);
    return reading;
}

} // namespace tavorin
