#include "song/id3v2_header.h"

namespace tavorin {

// TagLib's ID3v2::Header answers differently: it takes any ten bytes for a header and counts
// a size that is not synchsafe as 0, so it would report a 10-byte tag where there is none and
// the walk would start inside the song's first frame.
std::optional<std::int64_t> id3v2TagSize(QByteArrayView bytes) {
    // "ID3", major and minor version (never 0xFF), flags (0x10: a footer follows), then the
    // body size as four 7-bit bytes, most significant first.
    if (bytes.size() < id3v2HeaderSize || !bytes.startsWith("ID3")) {
        return std::nullopt;
    }
    const auto byteAt = [&](int i) { return static_cast<unsigned char>(bytes[i]); };
    if (byteAt(3) == 0xFF || byteAt(4) == 0xFF) {
        return std::nullopt;
    }
    std::int64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (byteAt(i) >= 0x80) {
            return std::nullopt;
        }
        size = (size << 7) | byteAt(i);
    }
    const bool footer = (byteAt(5) & 0x10) != 0;
    return id3v2HeaderSize + size + (footer ? id3v2HeaderSize : 0);
}

} // namespace tavorin
