#pragma once

#include "song/playback_engine.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <functional>
#include <optional>

namespace tavorin {

// Where the chunks of a RIFF file lie. Offsets are of the chunk body (after its 8-byte
// header); a size is as the chunk header states it, cut to what the file holds.
struct RiffChunkSpan {
    std::int64_t offset = 0;
    std::int64_t size = 0;
};

struct RiffLayout {
    QByteArray formType;               // "RMP3" for an RMP, "WAVE", ...
    std::optional<RiffChunkSpan> data; // the first "data" chunk
    bool dataFirst = false;            // the "data" chunk follows the 12-byte RIFF header
    std::optional<RiffChunkSpan> info; // the first "LIST" chunk of type "INFO"
};

// Reads `length` bytes at `offset`; fewer (or none) at the end of the file.
using ByteSource = std::function<QByteArray(std::int64_t offset, std::int64_t length)>;

// The chunk layout of a RIFF file of `fileSize` bytes, walking only the chunk headers; nothing
// when the file does not start with a RIFF header. A chunk that claims more bytes than the
// file holds ends the walk, as does a walk of more chunks than any song file carries.
std::optional<RiffLayout> readRiffLayout(const ByteSource& read, std::int64_t fileSize);

// The texts of a "LIST" chunk body of type "INFO" (starting with "INFO"): "INAM", "IART" and
// "IPRD", decoded from code page 932 (from UTF-8 when that is what the bytes plainly are).
// Not TagLib's RIFF::Info::Tag: it drops a text cut short by the end of the list, where a
// damaged song still gives what it holds.
RiffInfo decodeInfoList(QByteArrayView listBody);

} // namespace tavorin
