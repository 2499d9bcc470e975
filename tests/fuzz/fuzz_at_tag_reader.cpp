// The At-Tag reader over raw lyrics file bytes in whatever encoding they decode as.
#include "lyrics/at_tag_reader.h"
#include "shell/text_codec.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const tavorin::DecodedText decoded = tavorin::decodeText(bytes);
    const bool defaultTime = size > 0 && (data[0] & 1) != 0;
    tavorin::readAtTags(decoded.text, defaultTime);
    return 0;
}
