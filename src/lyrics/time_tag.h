#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace tavorin {

// long: [mm:ss:cc], 10 characters; short: [mm:ss], 7 characters.
enum class TagShape { Long, Short };

struct TagEntry {
    QString tagText;       // exactly as found, or as last written
    QString followingText; // up to the next Time Tag or the end of the body
    std::int32_t time = 0; // milliseconds
    TagShape shape = TagShape::Long;
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
    QString prefix;
    std::vector<TagEntry> entries;
};

FoundTimeTag findNextTimeTag(QStringView text);
TimeTagReading readTimeTag(QStringView tagText);
QString writeTimeTag(std::int32_t time, TagShape shape);
TaggedBody splitTimeTags(QStringView body);
QString joinTimeTags(const QString& prefix, const std::vector<TagEntry>& entries);
// True when one of the first 20 entries is followed by text without a line feed.
bool hasWordTiming(const std::vector<TagEntry>& entries);
// Pulls every tag later than the tag after it back to that tag; true when any entry changed.
bool repairTagReversals(std::vector<TagEntry>& entries);

} // namespace tavorin
