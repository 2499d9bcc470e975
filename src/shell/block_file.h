#pragma once

#include "shell/file_descriptor.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

// A regular file opened for raw block reads. The caller owns the byte position; a successful
// read advances it by the length asked for. Bytes past the end of the file read as 0.
class BlockFile {
public:
    // Anything but a regular file (a folder, a pipe, a device) stays closed.
    explicit BlockFile(const QString& path);

    bool isOpen() const { return file.isOpen(); }
    // The size when opened; 0 when closed.
    qint64 size() const;

    // Fails (and leaves the position alone) for a length below 1, a closed file, a read
    // error, or a new position beyond the signed 32-bit range.
    std::optional<QByteArray> blockRead(std::int32_t& position, std::int32_t length);
    // The bytes from offset on, at most length of them, cut at the end of the file; empty
    // past the end, on a closed file or on a read error.
    QByteArray bytesAt(qint64 offset, qint64 length);

private:
    // Copies bytes from position on into into, served from the window when it holds them.
    // The number of bytes copied (fewer at the end of the file), or -1.
    qint64 copyAt(qint64 position, char* into, qint64 length);
    // The same straight from the file.
    qint64 readAt(qint64 position, char* into, qint64 length);

    FileDescriptor file;
    qint64 fileSize = 0; // when opened
    QByteArray window; // the file's bytes from windowStart on, for small reads
    qint64 windowStart = -1;
};

} // namespace tavorin
