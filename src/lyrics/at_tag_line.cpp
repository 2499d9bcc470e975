#include "lyrics/at_tag_line.h"

#include "lyrics/at_tag_key.h"

namespace tavorin {

namespace {

// Values keep every character but the blanks around them. Keys also shed the ideographic
// space, which can only help a key to match and never loses anything.
bool isValueBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isKeyBlank(QChar c) {
    return isValueBlank(c) || c == u'\u3000';
}

template <typename IsBlank> QStringView trimmed(QStringView text, IsBlank isBlank) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first])) {
        ++first;
    }
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.sliced(first, last - first);
}

} // namespace

std::optional<AtTagLine> splitAtTagLine(QStringView line) {
    const qsizetype equals = line.startsWith(u'@') ? line.indexOf(u'=') : -1;
    if (equals < 0) {
        return std::nullopt;
    }
    return AtTagLine{trimmed(line.first(equals), isKeyBlank),
                     trimmed(line.sliced(equals + 1), isValueBlank)};
}

bool isRubyKey(QStringView key) {
    constexpr QStringView ruby = u"@ruby";
    if (key.size() <= ruby.size() || !equalsIgnoringAsciiCase(key.first(ruby.size()), ruby)) {
        return false;
    }
    for (const QChar c : key.sliced(ruby.size())) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

} // namespace tavorin
