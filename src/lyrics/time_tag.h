#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace tavorin {

// long: [mm:ss:cc], 10 characters; short: [mm:ss], 7 characters.
enum class TagShape { Long, Short };

// What a Time Tag means is decided by the line it stands on. At-Tag lines that stay in the body
// belong to other software; of those only the ruby lines are understood.
enum class TagRole : std::uint8_t {
    Lyric,      // among the lyrics: a time in the song
    RubyTime,   // the start or end field of an "@RubyN=" line: a time in the song
    RubyOffset, // inside a ruby reading: an offset from the moment its text starts to be sung
    Foreign,    // on any other At-Tag line: its meaning is unknown, so it is left as it is
};

// The longest tag writeTimeTag can produce: "[-35791:-23:-64]" for the most negative time.
inline constexpr qsizetype maxWrittenTimeTagLength = 16;

// One Time Tag of a body and the text after it, as positions in that body: a body of several
// hundred thousand tags splits without copying a character.
struct TagEntry {
    qsizetype tagAt = 0;             // where the tag as found starts
    qsizetype followingEnd = 0;      // where the text after it ends: the next tag or the body's end
    std::int32_t time = 0;           // milliseconds
    TagShape shape = TagShape::Long; // the shape the tag was found in
    TagRole role = TagRole::Lyric;
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
// True when one of the first 20 lyric entries is followed by text without a line feed.
bool hasWordTiming(const TaggedBody& split);
// Pulls every lyric tag later than the lyric tag after it back to that tag; true when any
// entry changed. Tags on At-Tag lines are neither repaired nor taken as the reference.
bool repairTagReversals(TaggedBody& split);

} // namespace tavorin
