#include "shell/cp932_codec.h"

#include "shell/ascii_blocks.h"
#include "shell/cp932_table.h"

namespace tavorin {

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
        // The text has room for a whole block: every byte gives at most one unit.
        if (in[i] < 0x80 && size - i >= asciiBlockSize) {
            const int ascii = widenAsciiBlock(in + i, out);
            if (ascii > 0) {
                out += ascii;
                i += ascii;
                continue;
            }
        }
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
        // The bytes have room for a whole block: every unit gives at most two.
        if (in[i] < 0x80 && size - i >= asciiBlockSize) {
            const int ascii = narrowAsciiBlock(in + i, out);
            if (ascii > 0) {
                out += ascii;
                i += ascii - 1;
                continue;
            }
        }
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
