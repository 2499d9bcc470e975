// The RIFF chunk reader over arbitrary song bytes, and the INFO list decoder.
#include "song/riff_chunk_reader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto read = [&bytes](std::int64_t offset, std::int64_t length) {
        if (offset < 0 || length < 0 || offset >= bytes.size()) {
            return QByteArray();
        }
        return bytes.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
    };
    const auto layout = tavorin::readRiffLayout(read, bytes.size());
    if (layout) {
        // Every span the reader reports lies inside the file.
        for (const auto& span : {layout->data, layout->info}) {
            if (span &&
                (span->offset < 0 || span->size < 0 || span->offset + span->size > bytes.size())) {
                std::abort();
            }
        }
    }
    tavorin::decodeInfoList(bytes);
    return 0;
}
