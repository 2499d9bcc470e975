// A lyrics file's bytes through decoding, the At-Tag reader and the Time Tag split, join and
// repair. Text read without loss is written back to the same text, and for the Unicode
// encodings to the very same bytes; join(split(body)) is the body.
#include "fuzz/fuzz_support.h"
#include "lyrics/at_tag_reader.h"
#include "lyrics/time_tag.h"
#include "shell/cp932_codec.h"
#include "shell/text_codec.h"

#include <QStringDecoder>

#include <algorithm>

using namespace tavorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const DecodedText decoded = decodeText(bytes);
    if (decoded.lossless) {
        const QByteArray written = encodeText(decoded.text, decoded.encoding);
        fuzz::require(decoded.encoding == TextEncoding::Cp932
                          ? decodeCp932(written).text == decoded.text
                          : written == bytes);
    }
    // Without a byte-order mark, UTF-8 is told apart by the same rules as Qt's strict decoder.
    if (!bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") &&
        !bytes.startsWith("\xFE\xFF")) {
        QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        [[maybe_unused]] const QString text = strict.decode(bytes); // decoding is lazy
        const bool multiByte = std::any_of(data, data + size, [](auto b) { return b >= 0x80; });
        fuzz::require((!strict.hasError() && multiByte) ==
                      (decoded.encoding == TextEncoding::Utf8));
    }
    // Any UTF-16 text, paired surrogates or not, encodes to code page 932 without harm.
    encodeCp932(QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2)));
    readAtTags(decoded.text, size > 0 && (data[0] & 1) != 0);

    // A tag's seconds kept through writing and reading, and the repair's order, are property
    // tests of the Time Tag code; here the repair only has to survive any text.
    TaggedBody split = splitTimeTags(decoded.text);
    fuzz::require(joinTimeTags(split) == decoded.text);
    repairTagReversals(split);
    return 0;
}
