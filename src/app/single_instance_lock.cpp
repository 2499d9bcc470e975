#include "app/single_instance_lock.h"

#include <QDir>
#include <QStandardPaths>

namespace tavorin {

SingleInstanceLock::SingleInstanceLock(const QString& path) : lockPath(path), lockFile(path) {
    // A lock is stale only when its process is gone (QLockFile checks the PID), never by age:
    // a wizard may stay open for days.
    lockFile.setStaleLockTime(0);
}

bool SingleInstanceLock::tryAcquire() {
    if (lockFile.isLocked()) {
        return true;
    }
    return lockFile.tryLock(0);
}

QString SingleInstanceLock::defaultPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("tavorin-wizard.lock"));
}

} // namespace tavorin
