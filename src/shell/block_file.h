#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

// A file opened for raw block reads. The caller owns the byte position; a successful read
// advances it by the length asked for. Bytes past the end of the file read as 0.
class BlockFile {
public:
    explicit BlockFile(const QString& path);

    bool isOpen() const;
    qint64 size() const;

    // Fails (and leaves the position alone) for a length below 1, a closed file, a read
    // error, or a new position beyond the signed 32-bit range.
    std::optional<QByteArray> blockRead(std::int32_t& position, std::int32_t length);
    // A block read decoded from code page 932.
    std::optional<QString> blockTextRead(std::int32_t& position, std::int32_t length);

private:
    // The number of bytes read into into (fewer at the end of the file), or -1.
    qint64 readAt(qint64 position, char* into, qint64 length);

    QFile file;
    qint64 fileSize = 0; // when opened
    QByteArray window;   // the file's bytes from windowStart on, for small reads
    qint64 windowStart = -1;
};

} // namespace tavorin
