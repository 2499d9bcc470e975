#include "shell/block_file.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavorin {

namespace {

// The frame walk asks for a frame header, then the frame, then the next header: a few bytes
// at a time, each a read of its own. Small reads are served from a window read in one go
// instead, large enough for the silent frames at the start of most songs (and for the
// leading bytes a song's probe looks at) and small against the song, which is never read
// whole.
constexpr qint64 windowBytes = 16 * 1024;
constexpr qint64 smallReadBytes = 4 * 1024;

} // namespace

// Straight to the platform: QFile would ask for the file's status again at opening and at
// every size query, and seek before every read.
BlockFile::BlockFile(const QString& path) {
    // Non-blocking, so that a pipe does not hang the opening before it is turned away; the
    // flag changes nothing for a regular file.
    FileDescriptor opened = FileDescriptor::open(path, O_RDONLY | O_NONBLOCK);
    struct stat facts {};
    if (!opened.isOpen() || ::fstat(opened.get(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
        return;
    }
    file = std::move(opened);
    fileSize = static_cast<qint64>(facts.st_size);
}

qint64 BlockFile::readAt(qint64 position, char* into, qint64 length) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(file.get(), into + done, static_cast<std::size_t>(length - done),
                    static_cast<off_t>(position + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
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

qint64 BlockFile::size() const {
    return isOpen() ? fileSize : 0;
}

qint64 BlockFile::copyAt(qint64 position, char* into, qint64 length) {
    const qint64 end = position + length;
    const bool inWindow =
        windowStart >= 0 && position >= windowStart && end <= windowStart + window.size();
    if (!inWindow && length >= smallReadBytes) {
        return readAt(position, into, length);
    }
    if (!inWindow) {
        window.resize(static_cast<qsizetype>(std::min(windowBytes, fileSize - position)));
        windowStart = -1;
        const qint64 got = readAt(position, window.data(), window.size());
        if (got < 0) {
            return -1;
        }
        window.truncate(static_cast<qsizetype>(got));
        windowStart = position;
    }
    const qint64 available = std::min(end, windowStart + window.size()) - position;
    if (available <= 0) {
        return 0;
    }
    std::memcpy(into, window.constData() + (position - windowStart),
                static_cast<std::size_t>(available));
    return available;
}

std::optional<QByteArray> BlockFile::blockRead(std::int32_t& position, std::int32_t length) {
    if (length < 1 || position < 0 || !isOpen()) {
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
    if (position < fileSize && copyAt(position, buffer.data(), length) < 0) {
        return std::nullopt;
    }
    position += length;
    return buffer;
}

QByteArray BlockFile::bytesAt(qint64 offset, qint64 length) {
    if (offset < 0 || length <= 0 || offset >= fileSize || !isOpen()) {
        return {};
    }
    QByteArray bytes;
    try {
        bytes.resize(static_cast<qsizetype>(std::min(length, fileSize - offset)));
    } catch (const std::bad_alloc&) {
        return {};
    }
    const qint64 got = copyAt(offset, bytes.data(), bytes.size());
    if (got < 0) {
        return {};
    }
    bytes.truncate(static_cast<qsizetype>(got));
    return bytes;
}

} // namespace tavorin
