#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TAVORIN_ASCII_BLOCKS_SSE2 1
#endif

namespace tavorin {

// Most of a lyrics file is ASCII (Time Tags, At-Tags, romaji) and several hundred thousand
// tags are common in word-timed files, so the text is converted and searched sixteen
// characters at a time where the processor allows it. Each function looks at one block of
// asciiBlockSize characters (all of which must be readable), may write a whole block (all of
// which must be writable), and says how many leading characters it handled.

inline constexpr int asciiBlockSize = 16;

// Widens the leading bytes below 0x80 to UTF-16 units; returns their count.
inline int widenAsciiBlock(const unsigned char* in, char16_t* out) {
#ifdef TAVORIN_ASCII_BLOCKS_SSE2
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const auto nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    return nonAscii == 0 ? asciiBlockSize : std::countr_zero(nonAscii);
#else
    int count = 0;
    while (count < asciiBlockSize && in[count] < 0x80) {
        out[count] = in[count];
        ++count;
    }
    return count;
#endif
}

// Narrows the leading UTF-16 units below 0x80 to bytes; returns their count.
inline int narrowAsciiBlock(const char16_t* in, char* out) {
#ifdef TAVORIN_ASCII_BLOCKS_SSE2
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8));
    const __m128i nonAsciiBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const __m128i asciiLanes =
        _mm_packs_epi16(_mm_cmpeq_epi16(_mm_and_si128(low, nonAsciiBits), zero),
                        _mm_cmpeq_epi16(_mm_and_si128(high, nonAsciiBits), zero));
    const auto ascii = static_cast<unsigned>(_mm_movemask_epi8(asciiLanes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
    return std::countr_one(ascii);
#else
    int count = 0;
    while (count < asciiBlockSize && in[count] < 0x80) {
        out[count] = static_cast<char>(in[count]);
        ++count;
    }
    return count;
#endif
}

// The count of leading UTF-16 units that are neither CR nor LF.
inline int unitsBeforeLineEnd(const char16_t* in) {
#ifdef TAVORIN_ASCII_BLOCKS_SSE2
    const __m128i lineFeed = _mm_set1_epi16(u'\n');
    const __m128i carriageReturn = _mm_set1_epi16(u'\r');
    const auto lineEnds = [&](const __m128i units) {
        return _mm_or_si128(_mm_cmpeq_epi16(units, lineFeed),
                            _mm_cmpeq_epi16(units, carriageReturn));
    };
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8));
    const auto found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lineEnds(low), lineEnds(high))));
    return found == 0 ? asciiBlockSize : std::countr_zero(found);
#else
    int count = 0;
    while (count < asciiBlockSize && in[count] != u'\n' && in[count] != u'\r') {
        ++count;
    }
    return count;
#endif
}

} // namespace tavorin
