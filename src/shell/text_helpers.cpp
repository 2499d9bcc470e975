#include "shell/text_helpers.h"

#include <algorithm>
#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tavorin {

QString cutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString stripTrailingNuls(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isNull()) {
        --end;
    }
    return text.left(end);
}

const char16_t* findLineEnd(const char16_t* from, const char16_t* end) {
#ifdef __SSE2__
    // Word-timed lyrics run to hundreds of thousands of short lines of ASCII, so the search
    // looks at eight units at a time.
    const __m128i lineFeed = _mm_set1_epi16(u'\n');
    const __m128i carriageReturn = _mm_set1_epi16(u'\r');
    for (; end - from >= 8; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmpeq_epi16(units, lineFeed), _mm_cmpeq_epi16(units, carriageReturn))));
        if (found != 0) {
            return from + std::countr_zero(found) / 2;
        }
    }
#endif
    return std::find_if(from, end, [](char16_t unit) { return unit == u'\n' || unit == u'\r'; });
}

} // namespace tavorin
