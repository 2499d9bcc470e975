// The RIFF chunk reader over arbitrary song bytes, and the INFO list decoder.
#include "fuzz/fuzz_support.h"
#include "song/riff_chunk_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = tavorin::fuzz::bytesOf(data, size);
    const auto read = [&bytes](std::int64_t offset, std::int64_t length) {
        if (offset < 0 || length < 0 || offset >= bytes.size()) {
            return QByteArray();
        }
        return bytes.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
    };
    if (const auto layout = tavorin::readRiffLayout(read, bytes.size())) {
        // Every span the reader reports lies inside the file.
        for (const auto& span : {layout->data, layout->info}) {
            tavorin::fuzz::require(!span || (span->offset >= 0 && span->size >= 0 &&
                                             span->offset + span->size <= bytes.size()));
        }
    }
    tavorin::decodeInfoList(bytes);
    return 0;
}
