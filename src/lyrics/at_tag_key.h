#pragma once

#include <QStringView>

#include <array>
#include <optional>

namespace tavorin {

// The At-Tags this system knows. A line with any other key belongs to some other software and
// stays in the lyrics body.
enum class AtTagKey {
    TimeRatio,
    SilencemSec,
    Offset,
    Artist,
    Title,
    Album,
    Bgfile,
    Bgfolder,
    TaggingBy,
    EditedBy,
    Silence,  // an old key: read and dropped
    TotalSec, // with Flames, the sampling rate of a file that says only "@TimeType=winamp"
    Flames,
    TimeType,
    // Where the music starts, decoded; trusted only straight after the file's last
    // "@SilencemSec=" line, where this system's own block writes it.
    AudioStartmSec,
};

struct AtTagKeyName {
    AtTagKey key;
    // As an At-Tag Block writes it; keys are read ignoring the letter case of ASCII letters.
    QStringView written;
};

// In the order a key is matched when reading.
inline constexpr std::array<AtTagKeyName, 15> atTagKeyNames{{
    {AtTagKey::TimeRatio, u"@TimeRatio"},
    {AtTagKey::SilencemSec, u"@SilencemSec"},
    {AtTagKey::Offset, u"@Offset"},
    {AtTagKey::Artist, u"@Artist"},
    {AtTagKey::Title, u"@Title"},
    {AtTagKey::Album, u"@Album"},
    {AtTagKey::Bgfile, u"@Bgfile"},
    {AtTagKey::Bgfolder, u"@Bgfolder"},
    {AtTagKey::TaggingBy, u"@TaggingBy"},
    {AtTagKey::EditedBy, u"@EditedBy"},
    {AtTagKey::Silence, u"@Silence"},
    {AtTagKey::TotalSec, u"@TotalSec"},
    {AtTagKey::Flames, u"@Flames"},
    {AtTagKey::TimeType, u"@TimeType"},
    {AtTagKey::AudioStartmSec, u"@AudioStartmSec"},
}};

constexpr bool isInKeyOrder() {
    for (std::size_t i = 0; i < atTagKeyNames.size(); ++i) {
        if (static_cast<std::size_t>(atTagKeyNames[i].key) != i) {
            return false;
        }
    }
    return true;
}
static_assert(isInKeyOrder(), "atTagKeyNames lists the keys in the order of AtTagKey");

// The key as written, without the "=".
constexpr QStringView atTagKeyText(AtTagKey key) {
    return atTagKeyNames[static_cast<std::size_t>(key)].written;
}

// Equal when the ASCII letters are lower-cased. Only ASCII letters fold: a dotted capital I or a
// Kelvin sign never passes for a letter of a key or of a "@TimeType" value.
bool equalsIgnoringAsciiCase(QStringView a, QStringView b);

// The key a line's key text names, compared with the ASCII letters lower-cased; nothing for a
// key this system does not know.
std::optional<AtTagKey> findAtTagKey(QStringView keyText);

} // namespace tavorin
