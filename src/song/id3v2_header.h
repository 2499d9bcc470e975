#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace tavorin {

// Bytes in an ID3v2 tag's header.
inline constexpr std::int32_t id3v2HeaderSize = 10;

// The whole size of the ID3v2 tag whose 10-byte header `bytes` starts with (header, body and
// footer), or nothing when the bytes are not an ID3v2 header.
std::optional<std::int64_t> id3v2TagSize(QByteArrayView bytes);

} // namespace tavorin
