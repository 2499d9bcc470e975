#pragma once

#include <QLockFile>
#include <QString>

namespace tavorin {

// Tells whether another instance of the wizard is running: a lock file in the user's runtime
// (or temp) folder. A lock left behind by a crashed instance does not count.
class SingleInstanceLock {
public:
    explicit SingleInstanceLock(const QString& lockPath = defaultPath());

    // True when this is the only instance; it stays so until the lock is destroyed.
    bool tryAcquire();

    static QString defaultPath();
    // Where the instance holding the lock listens for a second start (ShowRequestChannel).
    QString socketPath() const { return lockPath + QStringLiteral(".socket"); }

private:
    QString lockPath;
    QLockFile lockFile;
};

} // namespace tavorin
