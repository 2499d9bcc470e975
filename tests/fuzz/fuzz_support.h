#pragma once

// What every fuzz target shares: the input as bytes, a check that ends the run when an
// invariant breaks (libFuzzer then keeps the input), and one scratch folder for files.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace tavorin::fuzz {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline void require(bool invariant) {
    if (!invariant) {
        std::abort();
    }
}

// One scratch folder for the whole fuzzing process, removed when it ends.
inline QTemporaryDir& scratchFolder() {
    static QTemporaryDir folder;
    return folder;
}

inline QString writeScratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = scratchFolder().filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
    return path;
}

} // namespace tavorin::fuzz
