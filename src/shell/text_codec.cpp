#include "shell/text_codec.h"

#include "shell/cp932_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

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

// Well-formed UTF-8 (no overlong form, no surrogate, nothing beyond U+10FFFF, nothing cut
// off) holding at least one multi-byte sequence. Plain ASCII reads the same either way and
// stays code page 932, the files' own default. The check starts at the first byte above
// 0x7F and stops at the first fault, so a code page 932 file is told apart within its first
// Japanese character instead of being decoded whole first.
bool isMultiByteUtf8(QByteArrayView bytes) {
    const auto nonAscii =
        std::find_if(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) != 0; });
    return nonAscii != bytes.end() && bytes.sliced(nonAscii - bytes.begin()).isValidUtf8();
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
        // Qt's UTF-16 decoder reports neither a byte left over nor a lone surrogate half.
        const bool lossless =
            decoded.lossless && body.size() % 2 == 0 && QStringView(decoded.text).isValidUtf16();
        return {decoded.text, littleEndian ? TextEncoding::Utf16LeBom : TextEncoding::Utf16BeBom,
                lossless};
    }
    if (isMultiByteUtf8(bytes)) {
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
