#include "lyrics/time_tag.h"

#include "lyrics/at_tag_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace tavorin {

namespace {

constexpr qsizetype longTagLength = 10; // [mm:ss:cc]
constexpr qsizetype shortTagLength = 7; // [mm:ss]
constexpr qsizetype wordTimingLookahead = 20;

// A digit's value, or a value above 9 for any other character: only the ASCII digits count,
// a full-width digit never makes a Time Tag.
inline unsigned digitAt(const char16_t* at) {
    return static_cast<unsigned>(*at) - u'0';
}

// The Time Tag at the very start of [at, end): its length, 0 when there is none, and then its
// time. The long shape is tried first, so [01:02:03] is one long tag, never a short tag and
// text. No field is limited below 99: [00:75:00] is 75 seconds.
inline qsizetype readTagAt(const char16_t* at, const char16_t* end, std::int32_t& time) {
    if (end - at < shortTagLength || at[0] != u'[' || at[3] != u':') {
        return 0;
    }
    const unsigned digits[] = {digitAt(at + 1), digitAt(at + 2), digitAt(at + 4), digitAt(at + 5)};
    if (digits[0] > 9 || digits[1] > 9 || digits[2] > 9 || digits[3] > 9) {
        return 0;
    }
    const auto minutesAndSeconds = static_cast<std::int32_t>((digits[0] * 10 + digits[1]) * 60000 +
                                                             (digits[2] * 10 + digits[3]) * 1000);
    if (end - at >= longTagLength && at[6] == u':' && at[9] == u']') {
        const unsigned tens = digitAt(at + 7);
        const unsigned ones = digitAt(at + 8);
        if (tens <= 9 && ones <= 9) {
            time = minutesAndSeconds + static_cast<std::int32_t>((tens * 10 + ones) * 10);
            return longTagLength;
        }
    }
    if (at[6] == u']') {
        time = minutesAndSeconds;
        return shortTagLength;
    }
    return 0;
}

// "00" to "99", each two characters.
constexpr auto twoDigitTable = [] {
    std::array<std::array<char16_t, 2>, 100> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = {static_cast<char16_t>(u'0' + i / 10), static_cast<char16_t>(u'0' + i % 10)};
    }
    return table;
}();

qsizetype tagLength(TagShape shape) {
    return shape == TagShape::Long ? longTagLength : shortTagLength;
}

// The next Time Tag in [from, end) (end when there is none), its length and time. An ordinary
// "[" stays in the text and the search goes on after it. Tags are close together in
// word-timed lyrics, so a plain loop beats a library search call per tag.
inline const char16_t* nextTimeTag(const char16_t* from, const char16_t* end, qsizetype& length,
                                   std::int32_t& time) {
    for (const char16_t* bracket = from; bracket != end; ++bracket) {
        if (*bracket == u'[') {
            length = readTagAt(bracket, end, time);
            if (length > 0) {
                return bracket;
            }
        }
    }
    length = 0;
    return end;
}

// Two characters as a two-digit field; a character that is no digit counts as 0, so a
// malformed tag text never reads outside its field.
int twoDigits(QStringView tag, qsizetype at) {
    int value = 0;
    for (qsizetype i = at; i < at + 2; ++i) {
        value *= 10;
        if (i < tag.size() && digitAt(tag.utf16() + i) <= 9) {
            value += static_cast<int>(digitAt(tag.utf16() + i));
        }
    }
    return value;
}

// The tag of a time under 100 minutes, every field two digits, written without the general
// field writer (a long file has hundreds of thousands of them); 0 for any other time.
inline qsizetype writeTwoDigitTag(std::int32_t time, TagShape shape, char16_t* out) {
    if (time < 0 || time >= 100 * 60000) {
        return 0;
    }
    const auto minutes = static_cast<std::uint32_t>(time) / 60000;
    const auto rest = static_cast<std::uint32_t>(time) % 60000;
    const auto twoDigitsAt = [](char16_t* at, std::uint32_t value) {
        std::memcpy(at, twoDigitTable[value].data(), 2 * sizeof(char16_t));
    };
    out[0] = u'[';
    twoDigitsAt(out + 1, minutes);
    out[3] = u':';
    twoDigitsAt(out + 4, rest / 1000);
    if (shape == TagShape::Short) {
        out[6] = u']';
        return shortTagLength;
    }
    out[6] = u':';
    twoDigitsAt(out + 7, rest % 1000 / 10);
    out[9] = u']';
    return longTagLength;
}

// The numeric format "00": at least two digits, a leading minus for a negative value.
char16_t* writeField(char16_t* out, std::int64_t value) {
    if (value < 0) {
        *out++ = u'-';
        value = -value;
    }
    if (value < 10) {
        *out++ = u'0';
    }
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    for (const char* digit = digits; digit != written.ptr; ++digit) {
        *out++ = static_cast<char16_t>(*digit);
    }
    return out;
}

// The line a tag stands on, as far as the tag's role depends on it.
struct TagLine {
    bool atTag = false;
    bool ruby = false;
    qsizetype valueAt = 0; // where a ruby line's value (its blanks trimmed) starts in the body
};

TagLine readTagLine(QStringView body, qsizetype lineStart) {
    QStringView line = body.sliced(lineStart);
    if (!line.startsWith(u'@')) {
        return {};
    }
    if (const qsizetype lineFeed = line.indexOf(u'\n'); lineFeed >= 0) {
        line.truncate(lineFeed);
    }
    const std::optional<AtTagLine> atTag = splitAtTagLine(line);
    if (!atTag) {
        return {};
    }
    if (!isRubyKey(atTag->key)) {
        return {true, false, 0};
    }
    return {true, true, atTag->value.data() - body.data()};
}

// A ruby line's value is "text,reading,start,end": the field a tag stands in says what it is.
TagRole roleOn(const TagLine& line, QStringView body, qsizetype tagAt) {
    if (!line.atTag) {
        return TagRole::Lyric;
    }
    if (!line.ruby) {
        return TagRole::Foreign;
    }
    switch (body.sliced(line.valueAt, tagAt - line.valueAt).count(u',')) {
    case 1:
        return TagRole::RubyOffset;
    case 2:
    case 3:
        return TagRole::RubyTime;
    default:
        return TagRole::Foreign; // in the text itself, or in a field nobody defined
    }
}

} // namespace

QStringView TaggedBody::prefix() const {
    return QStringView(body).first(prefixLength);
}

QStringView TaggedBody::followingText(const TagEntry& entry) const {
    const qsizetype begin = entry.tagAt + tagLength(entry.shape);
    return QStringView(body).sliced(begin, entry.followingEnd - begin);
}

QString TaggedBody::tagText(const TagEntry& entry) const {
    if (entry.rewritten) {
        return writeTimeTag(entry.time, entry.writtenShape);
    }
    return QStringView(body).sliced(entry.tagAt, tagLength(entry.shape)).toString();
}

FoundTimeTag findNextTimeTag(QStringView text) {
    qsizetype length = 0;
    std::int32_t time = 0;
    const qsizetype at =
        nextTimeTag(text.utf16(), text.utf16() + text.size(), length, time) - text.utf16();
    return {text.first(at), text.sliced(at, length), text.sliced(at + length)};
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

qsizetype writeTimeTag(std::int32_t time, TagShape shape, char16_t* out) {
    if (const qsizetype length = writeTwoDigitTag(time, shape, out); length > 0) {
        return length;
    }
    // Division cuts toward zero; the last millisecond digit (and for the short shape all
    // of the fraction) is dropped, never rounded. 64-bit so that INT32_MIN negates safely.
    const std::int64_t total = time;
    const std::int64_t minutes = total / 60000;
    const std::int64_t rest = total - minutes * 60000;
    const std::int64_t seconds = rest / 1000;
    const std::int64_t hundredths = (rest - seconds * 1000) / 10;

    char16_t* const start = out;
    *out++ = u'[';
    out = writeField(out, minutes);
    *out++ = u':';
    out = writeField(out, seconds);
    if (shape == TagShape::Long) {
        *out++ = u':';
        out = writeField(out, hundredths);
    }
    *out++ = u']';
    return out - start;
}

QString writeTimeTag(std::int32_t time, TagShape shape) {
    char16_t tag[maxWrittenTimeTagLength];
    return QString(reinterpret_cast<const QChar*>(tag), writeTimeTag(time, shape, tag));
}

TaggedBody splitTimeTags(QString body) {
    TaggedBody split;
    split.body = std::move(body);
    const char16_t* const start = QStringView(split.body).utf16();
    const char16_t* const end = start + split.body.size();
    // Word-timed lyrics hold a tag every eight characters or more (a tag, a syllable or two):
    // room for that from the start; a denser body grows the list.
    split.entries.reserve(static_cast<std::size_t>(split.body.size() / 8));
    split.prefixLength = split.body.size();
    // One pass: each "[" is looked at once, and a tag found ends the text of the entry before.
    // A line is read for its role when its first tag is met: a line feed between two tags
    // means the later one stands on a new line.
    const QStringView text = split.body;
    TagLine line;
    qsizetype length = 0;
    std::int32_t time = 0;
    for (const char16_t* at = nextTimeTag(start, end, length, time); at != end;
         at = nextTimeTag(at + length, end, length, time)) {
        const qsizetype position = at - start;
        const qsizetype searchedFrom =
            split.entries.empty() ? 0 : split.entries.back().tagAt + tagLength(split.entries.back().shape);
        // Mostly a syllable or two since the last tag: a plain loop beats a library call.
        qsizetype lineStart = position;
        while (lineStart > searchedFrom && start[lineStart - 1] != u'\n') {
            --lineStart;
        }
        if (lineStart > searchedFrom || split.entries.empty()) {
            line = readTagLine(text, lineStart);
        }
        if (split.entries.empty()) {
            split.prefixLength = position;
        } else {
            split.entries.back().followingEnd = position;
        }
        TagEntry& entry = split.entries.emplace_back();
        entry.tagAt = position;
        entry.time = time;
        entry.shape = length == longTagLength ? TagShape::Long : TagShape::Short;
        entry.role = roleOn(line, text, position);
    }
    if (!split.entries.empty()) {
        split.entries.back().followingEnd = split.body.size();
    }
    return split;
}

QString joinTimeTags(const TaggedBody& split) {
    qsizetype rewritten = 0;
    for (const TagEntry& entry : split.entries) {
        rewritten += entry.rewritten ? 1 : 0;
    }
    if (rewritten == 0) {
        return split.body; // shared, not copied
    }
    // Room for every rewritten tag at its longest; the text is cut to its length at the end.
    QString joined(split.body.size() + rewritten * (maxWrittenTimeTagLength - shortTagLength),
                   Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(joined.data());
    char16_t* const start = out;
    const char16_t* in = reinterpret_cast<const char16_t*>(split.body.constData());
    const auto copy = [&](qsizetype from, qsizetype to) {
        // Mostly a syllable or two between tags: too short to be worth a library call.
        if (to - from <= 8) {
            for (qsizetype i = from; i < to; ++i) {
                *out++ = in[i];
            }
            return;
        }
        std::copy(in + from, in + to, out);
        out += to - from;
    };
    copy(0, split.prefixLength);
    for (const TagEntry& entry : split.entries) {
        const qsizetype textAt = entry.tagAt + tagLength(entry.shape);
        if (entry.rewritten) {
            const qsizetype written = writeTwoDigitTag(entry.time, entry.writtenShape, out);
            out += written > 0 ? written : writeTimeTag(entry.time, entry.writtenShape, out);
        } else {
            copy(entry.tagAt, textAt);
        }
        copy(textAt, entry.followingEnd);
    }
    joined.resize(out - start);
    return joined;
}

// Line-timed lyrics have a line end in every following text; word-timed lyrics have short
// pieces without one between the tags of a line. The first 20 lyric entries decide: a ruby
// line's "[00:10:00],[00:11:00]" would otherwise pass line-timed lyrics for word-timed.
bool hasWordTiming(const TaggedBody& split) {
    std::size_t lyricEntries = 0;
    bool wordTimed = false;
    for (const TagEntry& entry : split.entries) {
        if (entry.role != TagRole::Lyric) {
            continue;
        }
        if (++lyricEntries > wordTimingLookahead) {
            break;
        }
        const QStringView following = split.followingText(entry);
        wordTimed = wordTimed || (!following.isEmpty() && !following.contains(u'\n'));
        if (wordTimed && lyricEntries >= 2) {
            return true;
        }
    }
    return wordTimed && lyricEntries >= 2;
}

bool repairTagReversals(TaggedBody& split) {
    if (!hasWordTiming(split)) {
        return false;
    }
    // Scanning from the end, a lyric tag later than the lyric tag after it is pulled back to
    // that tag's time and written in that tag's shape; its own shape field and all following
    // texts stay as they were. Tags of At-Tag lines are passed over: a ruby line's times, or
    // another program's, would otherwise pull every lyric tag before them back to their time.
    bool changed = false;
    bool haveReference = false;
    std::int32_t referenceTime = 0;
    TagShape referenceShape = TagShape::Long;
    for (auto entry = split.entries.rbegin(); entry != split.entries.rend(); ++entry) {
        if (entry->role != TagRole::Lyric) {
            continue;
        }
        if (haveReference && entry->time > referenceTime) {
            rewriteTimeTag(*entry, referenceTime, referenceShape);
            changed = true;
        } else {
            haveReference = true;
            referenceTime = entry->time;
            referenceShape = entry->shape;
        }
    }
    return changed;
}

} // namespace tavorin
