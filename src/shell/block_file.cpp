#include "shell/block_file.h"

#include "shell/cp932_codec.h"

#include <limits>
#include <new>

namespace tavorin {

BlockFile::BlockFile(const QString& path) : file(path) {
    // Unbuffered: the frame walk asks for a few bytes per frame, and a read-ahead buffer
    // would pull in far more of the song than the measurement needs.
    file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool BlockFile::isOpen() const {
    return file.isOpen();
}

qint64 BlockFile::size() const {
    return file.isOpen() ? file.size() : 0;
}

std::optional<QByteArray> BlockFile::blockRead(std::int32_t& position, std::int32_t length) {
    if (length < 1 || position < 0 || !file.isOpen()) {
        return std::nullopt;
    }
    if (std::int64_t{position} + length > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    QByteArray buffer;
    try {
        buffer = QByteArray(length, '\0');
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    // Bytes past the end of the file stay 0; reading there is no error.
    if (position < file.size()) {
        if (!file.seek(position)) {
            return std::nullopt;
        }
        qint64 done = 0;
        while (done < length) {
            const qint64 got = file.read(buffer.data() + done, length - done);
            if (got < 0) {
                return std::nullopt;
            }
            if (got == 0) {
                break;
            }
            done += got;
        }
    }
    position += length;
    return buffer;
}

std::optional<QString> BlockFile::blockTextRead(std::int32_t& position, std::int32_t length) {
    std::optional<QByteArray> bytes = blockRead(position, length);
    if (!bytes) {
        return std::nullopt;
    }
    return decodeCp932(*bytes).text;
}

} // namespace tavorin
