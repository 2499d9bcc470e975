#include "lyrics/time_tag.h"

#include <algorithm>
#include <cstdlib>

namespace tavorin {

namespace {

constexpr qsizetype longTagLength = 10; // [mm:ss:cc]
constexpr qsizetype shortTagLength = 7; // [mm:ss]
constexpr qsizetype wordTimingLookahead = 20;

// Only the ASCII digits count: a full-width digit never makes a Time Tag.
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "[" d d ":" d d, the start both shapes share.
bool startsTimeTag(QStringView text) {
    return text.size() >= shortTagLength && text[0] == u'[' && isDigit(text[1]) &&
           isDigit(text[2]) && text[3] == u':' && isDigit(text[4]) && isDigit(text[5]);
}

// The length of the Time Tag at the very start of text, 0 when there is none. The long
// shape is tried first, so [01:02:03] is one long tag, never a short tag and text.
qsizetype timeTagLengthAt(QStringView text) {
    if (!startsTimeTag(text)) {
        return 0;
    }
    if (text.size() >= longTagLength && text[6] == u':' && isDigit(text[7]) && isDigit(text[8]) &&
        text[9] == u']') {
        return longTagLength;
    }
    if (text[6] == u']') {
        return shortTagLength;
    }
    return 0;
}

// Two characters as a two-digit field; a character that is no digit counts as 0, so a
// malformed tag text never reads outside its field.
int twoDigits(QStringView tag, qsizetype at) {
    int value = 0;
    for (qsizetype i = at; i < at + 2; ++i) {
        value *= 10;
        if (i < tag.size() && isDigit(tag[i])) {
            value += tag[i].unicode() - u'0';
        }
    }
    return value;
}

// The numeric format "00": at least two digits, a leading minus for a negative value.
void appendField(QString& out, std::int64_t value) {
    if (value < 0) {
        out += u'-';
        value = -value;
    }
    if (value < 10) {
        out += u'0';
    }
    out += QString::number(value);
}

} // namespace

FoundTimeTag findNextTimeTag(QStringView text) {
    qsizetype from = 0;
    while (true) {
        const qsizetype bracket = text.indexOf(u'[', from);
        if (bracket < 0) {
            return {text, {}, {}};
        }
        const QStringView rest = text.sliced(bracket);
        const qsizetype length = timeTagLengthAt(rest);
        if (length > 0) {
            return {text.first(bracket), rest.first(length), rest.sliced(length)};
        }
        // An ordinary "[": it stays in the text before and the search goes on after it.
        from = bracket + 1;
    }
}

TimeTagReading readTimeTag(QStringView tagText) {
    TimeTagReading reading;
    reading.shape = tagText.size() == longTagLength ? TagShape::Long : TagShape::Short;
    const int minutes = twoDigits(tagText, 1);
    const int seconds = twoDigits(tagText, 4);
    const int hundredths = reading.shape == TagShape::Long ? twoDigits(tagText, 7) : 0;
    // No field is limited below 99: [00:75:00] is 75 seconds.
    reading.time = minutes * 60000 + seconds * 1000 + hundredths * 10;
    return reading;
}

QString writeTimeTag(std::int32_t time, TagShape shape) {
    // Division cuts toward zero; the last millisecond digit (and for the short shape all
    // of the fraction) is dropped, never rounded. 64-bit so that INT32_MIN negates safely.
    const std::int64_t total = time;
    const std::int64_t minutes = total / 60000;
    const std::int64_t rest = total - minutes * 60000;
    const std::int64_t seconds = rest / 1000;
    const std::int64_t hundredths = (rest - seconds * 1000) / 10;

    QString out;
    out.reserve(longTagLength + 4);
    out += u'[';
    appendField(out, minutes);
    out += u':';
    appendField(out, seconds);
    if (shape == TagShape::Long) {
        out += u':';
        appendField(out, hundredths);
    }
    out += u']';
    return out;
}

TaggedBody splitTimeTags(QStringView body) {
    // Every piece is a view into body until it is stored, so the text after each tag is
    // never copied again: splitting is linear in the length of the body.
    TaggedBody split;
    FoundTimeTag found = findNextTimeTag(body);
    split.prefix = found.before.toString();
    while (!found.tag.isEmpty()) {
        TagEntry entry;
        entry.tagText = found.tag.toString();
        const TimeTagReading reading = readTimeTag(found.tag);
        entry.time = reading.time;
        entry.shape = reading.shape;
        found = findNextTimeTag(found.after);
        entry.followingText = found.before.toString();
        split.entries.push_back(std::move(entry));
    }
    return split;
}

QString joinTimeTags(const QString& prefix, const std::vector<TagEntry>& entries) {
    qsizetype length = prefix.size();
    for (const TagEntry& entry : entries) {
        length += entry.tagText.size() + entry.followingText.size();
    }
    QString body;
    body.reserve(length);
    body += prefix;
    for (const TagEntry& entry : entries) {
        body += entry.tagText;
        body += entry.followingText;
    }
    return body;
}

// Line-timed lyrics have a line end in every following text; word-timed lyrics have short
// pieces without one between the tags of a line. The first 20 entries decide.
bool hasWordTiming(const std::vector<TagEntry>& entries) {
    if (entries.size() < 2) {
        return false;
    }
    const std::size_t looked = std::min<std::size_t>(entries.size(), wordTimingLookahead);
    for (std::size_t i = 0; i < looked; ++i) {
        const QString& following = entries[i].followingText;
        if (!following.isEmpty() && !following.contains(u'\n')) {
            return true;
        }
    }
    return false;
}

bool repairTagReversals(std::vector<TagEntry>& entries) {
    if (entries.size() < 2 || !hasWordTiming(entries)) {
        return false;
    }
    // Scanning from the end, a tag later than the tag after it is pulled back to that
    // tag's time and written in that tag's shape; its own shape field and all following
    // texts stay as they were.
    bool changed = false;
    std::int32_t referenceTime = entries.back().time;
    TagShape referenceShape = entries.back().shape;
    for (std::size_t i = entries.size() - 1; i-- > 0;) {
        TagEntry& entry = entries[i];
        if (entry.time > referenceTime) {
            entry.time = referenceTime;
            entry.tagText = writeTimeTag(referenceTime, referenceShape);
            changed = true;
        } else {
            referenceTime = entry.time;
            referenceShape = entry.shape;
        }
    }
    return changed;
}

} // namespace tavorin
