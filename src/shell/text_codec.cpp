#include "shell/text_codec.h"

#include "shell/cp932_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tavorin {

namespace {

constexpr char utf8Bom[] = "\xEF\xBB\xBF";
constexpr char utf16LeBom[] = "\xFF\xFE";
constexpr char utf16BeBom[] = "\xFE\xFF";

struct Decoded {
    QString text;
    bool lossless = true;
};

// The byte-order mark has been taken off already: a second one is a character of the text
// (U+FEFF) and must survive the round trip, so the decoder may not swallow it. Stateless: a
// sequence cut off at the end of the file is an error, not something to wait for.
Decoded decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom |
                                         QStringConverter::Flag::Stateless);
    Decoded decoded{decoder.decode(bytes), !decoder.hasError()};
    return decoded;
}

bool hasUnpairedSurrogate(QStringView text) {
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (unit.isSurrogate()) {
            return true;
        }
    }
    return false;
}

enum class Utf8Form { Ascii, Utf8, NotUtf8 };

// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate, nothing beyond
// U+10FFFF, nothing cut off) holding at least one multi-byte sequence. It stops at the first
// fault, so a code page 932 file is told apart within its first Japanese character instead
// of being decoded whole first.
Utf8Form utf8FormOf(QByteArrayView bytes) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    bool multiByte = false;
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The continuation bytes needed, and the range the first of them must fall in.
        int needed = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            needed = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            needed = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // overlong below U+0800
            high = lead == 0xED ? 0x9F : 0xBF; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            needed = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;  // overlong below U+10000
            high = lead == 0xF4 ? 0x8F : 0xBF; // beyond U+10FFFF
        } else {
            return Utf8Form::NotUtf8;
        }
        if (size - i <= needed || in[i + 1] < low || in[i + 1] > high) {
            return Utf8Form::NotUtf8;
        }
        for (int k = 2; k <= needed; ++k) {
            if (in[i + k] < 0x80 || in[i + k] > 0xBF) {
                return Utf8Form::NotUtf8;
            }
        }
        multiByte = true;
        i += needed + 1;
    }
    return multiByte ? Utf8Form::Utf8 : Utf8Form::Ascii;
}

} // namespace

DecodedText decodeText(QByteArrayView bytes) {
    if (bytes.startsWith(QByteArrayView(utf8Bom))) {
        const Decoded decoded = decodeWith(QStringConverter::Utf8, bytes.sliced(3));
        return {decoded.text, TextEncoding::Utf8Bom, decoded.lossless};
    }
    const bool littleEndian = bytes.startsWith(QByteArrayView(utf16LeBom));
    if (littleEndian || bytes.startsWith(QByteArrayView(utf16BeBom))) {
        const QByteArrayView body = bytes.sliced(2);
        const Decoded decoded =
            decodeWith(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, body);
        const bool lossless =
            decoded.lossless && body.size() % 2 == 0 && !hasUnpairedSurrogate(decoded.text);
        return {decoded.text, littleEndian ? TextEncoding::Utf16LeBom : TextEncoding::Utf16BeBom,
                lossless};
    }
    // Plain ASCII reads the same either way and stays code page 932, the files' own default.
    if (utf8FormOf(bytes) == Utf8Form::Utf8) {
        return {QString::fromUtf8(bytes), TextEncoding::Utf8, true};
    }
    Cp932Decoding decoded = decodeCp932(bytes);
    return {std::move(decoded.text), TextEncoding::Cp932, decoded.lossless};
}

namespace {

QByteArray encodeWith(QStringConverter::Encoding encoding, QStringView text) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

} // namespace

QByteArray encodeText(QStringView text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Cp932:
        return encodeCp932(text);
    case TextEncoding::Utf8:
        return encodeWith(QStringConverter::Utf8, text);
    case TextEncoding::Utf8Bom:
        return QByteArray(utf8Bom) + encodeWith(QStringConverter::Utf8, text);
    case TextEncoding::Utf16LeBom:
        return QByteArray(utf16LeBom) + encodeWith(QStringConverter::Utf16LE, text);
    case TextEncoding::Utf16BeBom:
        return QByteArray(utf16BeBom) + encodeWith(QStringConverter::Utf16BE, text);
    }
    return encodeCp932(text);
}

} // namespace tavorin
