#include "shell/cp932_codec.h"

#include "shell/cp932_table.h"

#ifdef __SSE2__
#include <emmintrin.h>

#include <bit>
#endif

namespace tavorin {

#ifdef __SSE2__
namespace {

// Most of a lyrics file is ASCII (Time Tags, At-Tags, romaji), so runs of it are converted
// sixteen characters at a time. Each function reads a whole block, may write a whole block,
// and says how many leading characters were ASCII.
constexpr qsizetype asciiBlockSize = 16;

int widenAsciiBlock(const unsigned char* in, char16_t* out) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const auto nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    return nonAscii == 0 ? asciiBlockSize : std::countr_zero(nonAscii);
}

int narrowAsciiBlock(const char16_t* in, char* out) {
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
}

} // namespace
#endif

Cp932Decoding decodeCp932(QByteArrayView bytes) {
    Cp932Decoding result;
    const qsizetype size = bytes.size();
    // Every code gives one UTF-16 unit at most, so the text never outgrows the byte count.
    result.text.resize(size);
    char16_t* out = reinterpret_cast<char16_t*>(result.text.data());
    char16_t* const start = out;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
    while (i < size) {
#ifdef __SSE2__
        // The text has room for a whole block: every byte gives at most one unit.
        if (in[i] < 0x80 && size - i >= asciiBlockSize) {
            const int ascii = widenAsciiBlock(in + i, out);
            out += ascii;
            i += ascii;
            continue;
        }
#endif
        const unsigned char byte = in[i];
        if (byte < 0x80) {
            *out++ = byte;
            ++i;
            continue;
        }
        const char16_t single = cp932::singleByte[byte];
        if (single != cp932::leadByteMark) {
            *out++ = single;
            ++i;
            continue;
        }
        // A lead byte at the end or before a NUL is illegal on its own; the NUL stays a NUL.
        if (i + 1 >= size || in[i + 1] == 0) {
            *out++ = cp932::defaultChar;
            result.lossless = false;
            ++i;
            continue;
        }
        const int trail = in[i + 1] - cp932::trailFirst;
        char16_t unit = 0;
        if (trail >= 0 && trail < cp932::trailCount) {
            unit = cp932::doubleByte[cp932::leadRow[byte] * cp932::trailCount + trail];
        }
        if (unit == 0) {
            unit = cp932::defaultChar;
            result.lossless = false;
        }
        *out++ = unit;
        i += 2;
    }
    result.text.resize(out - start);
    return result;
}

QByteArray encodeCp932(QStringView text) {
    QByteArray bytes;
    bytes.resize(text.size() * 2);
    char* out = bytes.data();
    char* const start = out;
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
#ifdef __SSE2__
        // The bytes have room for a whole block: every unit gives at most two.
        if (in[i] < 0x80 && size - i >= asciiBlockSize) {
            const int ascii = narrowAsciiBlock(in + i, out);
            out += ascii;
            i += ascii - 1;
            continue;
        }
#endif
        const char16_t unit = in[i];
        if (unit < 0x80) {
            *out++ = static_cast<char>(unit);
            continue;
        }
        if (QChar::isSurrogate(unit)) {
            // A character beyond the BMP has no code: one "?" for the pair, as for a lone half.
            if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
                ++i;
            }
            *out++ = '?';
            continue;
        }
        const std::uint16_t code =
            cp932::encodePages[cp932::encodePage[unit >> 8] * 256 + (unit & 0xFF)];
        if (code == 0 && unit != 0) {
            *out++ = '?';
        } else if (code < 0x100) {
            *out++ = static_cast<char>(code);
        } else {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        }
    }
    bytes.resize(out - start);
    return bytes;
}

} // namespace tavorin
