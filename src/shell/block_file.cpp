#include "shell/block_file.h"

#include "shell/cp932_codec.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tavorin {

namespace {

// The frame walk asks for a frame header, then the frame, then the next header: a few bytes
// at a time, each a seek and a read of its own. Small reads are served from a window read
// in one go instead, large enough for the silent frames at the start of most songs and small
// against the song, which is never read whole.
constexpr qint64 windowBytes = 16 * 1024;
constexpr std::int32_t smallReadBytes = 4 * 1024;

} // namespace

BlockFile::BlockFile(const QString& path) : file(path) {
    // Unbuffered: the window above does the buffering, and QFile's own would read again
    // after every backward seek.
    if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        fileSize = file.size();
    }
}

bool BlockFile::isOpen() const {
    return file.isOpen();
}

qint64 BlockFile::size() const {
    return file.isOpen() ? file.size() : 0;
}

qint64 BlockFile::readAt(qint64 position, char* into, qint64 length) {
    if (!file.seek(position)) {
        return -1;
    }
    qint64 done = 0;
    while (done < length) {
        const qint64 got = file.read(into + done, length - done);
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
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
    if (position < fileSize) {
        const qint64 end = std::int64_t{position} + length;
        if (length >= smallReadBytes) {
            if (readAt(position, buffer.data(), length) < 0) {
                return std::nullopt;
            }
        } else {
            if (position < windowStart || end > windowStart + window.size()) {
                window.resize(static_cast<qsizetype>(std::min(windowBytes, fileSize - position)));
                windowStart = -1;
                const qint64 got = readAt(position, window.data(), window.size());
                if (got < 0) {
                    return std::nullopt;
                }
                window.truncate(static_cast<qsizetype>(got));
                windowStart = position;
            }
            const qint64 available = std::min<qint64>(end, windowStart + window.size()) - position;
            if (available > 0) {
                std::memcpy(buffer.data(), window.constData() + (position - windowStart),
                            static_cast<std::size_t>(available));
            }
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
