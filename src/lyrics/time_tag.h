#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace tavorin {

// long: [mm:ss:cc], 10 characters; short: [mm:ss], 7 characters.
enum class TagShape { Long, Short };

// The longest tag writeTimeTag can produce: "[-35791:-23:-64]" for the most negative time.
inline constexpr qsizetype maxWrittenTimeTagLength = 16;

// One Time Tag of a body and the text after it, as positions in that body: a body of several
// hundred thousand tags splits without copying a character.
struct TagEntry {
    qsizetype tagAt = 0;             // where the tag as found starts
    qsizetype followingEnd = 0;      // where the text after it ends: the next tag or the body's end
    std::int32_t time = 0;           // milliseconds
    TagShape shape = TagShape::Long; // the shape the tag was found in
    // Once the time is changed, the tag is written anew from time in writtenShape.
    bool rewritten = false;
    TagShape writtenShape = TagShape::Long;
};

struct FoundTimeTag {
    QStringView before; // the whole text when no tag was found
    QStringView tag;    // empty when no tag was found
    QStringView after;
};

struct TimeTagReading {
    std::int32_t time = 0;
    TagShape shape = TagShape::Long;
};

// The split form of a body text: prefix + each entry's tag and following text == body.
struct TaggedBody {
    QString body;
    qsizetype prefixLength = 0;
    std::vector<TagEntry> entries;

    QStringView prefix() const;
    QStringView followingText(const TagEntry& entry) const;
    // The tag as found, or as written anew after its time changed.
    QString tagText(const TagEntry& entry) const;
};

FoundTimeTag findNextTimeTag(QStringView text);
TimeTagReading readTimeTag(QStringView tagText);
QString writeTimeTag(std::int32_t time, TagShape shape);
// Writes the tag to out (room for maxWrittenTimeTagLength units); returns its length.
qsizetype writeTimeTag(std::int32_t time, TagShape shape, char16_t* out);
// Gives the entry a new time, written in the given shape; its own shape stays as found.
inline void rewriteTimeTag(TagEntry& entry, std::int32_t time, TagShape writtenShape) {
    entry.time = time;
    entry.writtenShape = writtenShape;
    entry.rewritten = true;
}
TaggedBody splitTimeTags(QString body);
QString joinTimeTags(const TaggedBody& split);
// True when one of the first 20 entries is followed by text without a line feed.
bool hasWordTiming(const TaggedBody& split);
// Pulls every tag later than the tag after it back to that tag; true when any entry changed.
bool repairTagReversals(TaggedBody& split);

} // namespace tavorin
