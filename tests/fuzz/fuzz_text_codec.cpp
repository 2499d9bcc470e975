// Encoding detection and decoding: whatever a file's bytes, text read without loss is written
// back to the same text, and for the Unicode encodings to the very same bytes.
#include "shell/cp932_codec.h"
#include "shell/text_codec.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const tavorin::DecodedText decoded = tavorin::decodeText(bytes);
    if (decoded.lossless) {
        const QByteArray written = tavorin::encodeText(decoded.text, decoded.encoding);
        if (decoded.encoding == tavorin::TextEncoding::Cp932) {
            if (tavorin::decodeCp932(written).text != decoded.text) {
                std::abort();
            }
        } else if (written != bytes) {
            std::abort();
        }
    }
    // Without a byte-order mark, UTF-8 is told apart by the same rules as Qt's strict decoder.
    if (!bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") &&
        !bytes.startsWith("\xFE\xFF")) {
        QStringDecoder strict(QStringConverter::Utf8,
                              QStringConverter::Flag::Stateless |
                                  QStringConverter::Flag::ConvertInitialBom);
        const QString text = strict.decode(bytes);
        const bool multiByte =
            std::any_of(data, data + size, [](std::uint8_t b) { return b >= 0x80; });
        if ((!strict.hasError() && multiByte) !=
            (decoded.encoding == tavorin::TextEncoding::Utf8)) {
            std::abort();
        }
    }
    // Any UTF-16 text, paired surrogates or not, encodes to code page 932 without harm.
    const QString anyText(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));
    tavorin::encodeCp932(anyText);
    return 0;
}
