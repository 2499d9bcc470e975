#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavorin {

// The encoding a lyrics file was read in, so it is written back the same way.
enum class TextEncoding {
    Cp932,      // the default: Shift-JIS as Windows implements it
    Utf8,       // no byte-order mark, valid UTF-8 holding a multi-byte sequence
    Utf8Bom,
    Utf16LeBom,
    Utf16BeBom,
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
    bool lossless = true;  // false: the bytes do not decode without loss in that encoding
};

// Picks the encoding (byte-order mark, then valid multi-byte UTF-8, else code page 932).
DecodedText decodeText(QByteArrayView bytes);
// The text in that encoding, with its byte-order mark where it has one.
QByteArray encodeText(QStringView text, TextEncoding encoding);

} // namespace tavorin
