// The At-Tag reader over raw lyrics file bytes in whatever encoding they decode as.
#include "fuzz/fuzz_support.h"
#include "lyrics/at_tag_reader.h"
#include "shell/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tavorin::DecodedText decoded = tavorin::decodeText(tavorin::fuzz::bytesOf(data, size));
    tavorin::readAtTags(decoded.text, size > 0 && (data[0] & 1) != 0);
    return 0;
}
