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

private:
    QLockFile lockFile;
};

} // namespace tavorin
