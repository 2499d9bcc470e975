#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tavorin::fuzz {

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
