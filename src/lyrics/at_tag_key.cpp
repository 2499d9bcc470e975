#include "lyrics/at_tag_key.h"

#include <algorithm>

namespace tavorin {

namespace {

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

} // namespace

bool equalsIgnoringAsciiCase(QStringView a, QStringView b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](QChar x, QChar y) {
        return asciiLower(x.unicode()) == asciiLower(y.unicode());
    });
}

std::optional<AtTagKey> findAtTagKey(QStringView keyText) {
    for (const AtTagKeyName& name : atTagKeyNames) {
        if (equalsIgnoringAsciiCase(keyText, name.written)) {
            return name.key;
        }
    }
    return std::nullopt;
}

} // namespace tavorin
