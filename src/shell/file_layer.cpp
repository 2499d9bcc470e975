#include "shell/file_layer.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavorin {

// The name's own status first: for anything but a link it is already the answer, and it
// holds the permission bits and owner the new file is given, so nothing asks again.
FileFacts RealFileLayer::facts(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    FileFacts facts;
    if (::lstat(name.constData(), &status) != 0) {
        return facts;
    }
    if (S_ISLNK(status.st_mode)) {
        facts.isLink = true;
        if (::stat(name.constData(), &status) != 0) {
            return facts;
        }
    }
    facts.exists = true;
    facts.isRegular = S_ISREG(status.st_mode);
    facts.anyoneMayWrite = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    facts.permissionBits = static_cast<std::uint32_t>(status.st_mode & 07777);
    facts.owner = static_cast<std::int64_t>(status.st_uid);
    facts.group = static_cast<std::int64_t>(status.st_gid);
    return facts;
}

// Straight to the platform: QFile would ask for the new file's status after creating it.
FileStatus RealFileLayer::createNew(const QString& path) {
    newFile.close();
    newFile = FileDescriptor::open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (!newFile.isOpen()) {
        return FileStatus::failure(errno);
    }
    return {};
}

FileStatus RealFileLayer::write(QByteArrayView bytes) {
    if (!newFile.isOpen()) {
        return FileStatus::failure(EBADF);
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(newFile.get(), bytes.data() + done,
                                        static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return FileStatus::failure(errno);
        }
        if (written == 0) {
            return FileStatus::failure(EIO);
        }
        done += written;
    }
    return {};
}

FileStatus RealFileLayer::syncAndClose() {
    if (!newFile.isOpen()) {
        return FileStatus::failure(EBADF);
    }
    const int syncError = ::fsync(newFile.get()) == 0 ? 0 : errno;
    const int closeError = newFile.close();
    if (syncError != 0 || closeError != 0) {
        return FileStatus::failure(syncError != 0 ? syncError : closeError);
    }
    return {};
}

void RealFileLayer::abandon() {
    newFile.close();
}

FileStatus RealFileLayer::givePermissions(const FileFacts& original, const QString& to) {
    // Someone else's file stays theirs when an administrator runs the repair. Only the
    // superuser may give a file away, so an ordinary user's attempt fails and changes nothing.
    // Owner first: a change of owner may clear special permission bits. The process never
    // changes whose it is, so that is asked once.
    static const uid_t user = ::geteuid();
    static const gid_t group = ::getegid();
    const QByteArray target = QFile::encodeName(to);
    const auto owner = static_cast<uid_t>(original.owner);
    const auto ownerGroup = static_cast<gid_t>(original.group);
    if (original.owner >= 0 && original.group >= 0 && (owner != user || ownerGroup != group)) {
        [[maybe_unused]] const int ignored = ::chown(target.constData(), owner, ownerGroup);
    }
    if (::chmod(target.constData(), static_cast<mode_t>(original.permissionBits & 07777)) != 0) {
        return FileStatus::failure(errno);
    }
    return {};
}

FileStatus RealFileLayer::replace(const QString& from, const QString& to) {
    const QByteArray target = QFile::encodeName(to);
    if (::rename(QFile::encodeName(from).constData(), target.constData()) != 0) {
        return FileStatus::failure(errno);
    }
    // Make the new name itself durable; the contents already are. Best effort: the
    // replacement has happened whatever this says.
    const qsizetype slash = to.lastIndexOf(u'/');
    const FileDescriptor folder = FileDescriptor::open(
        slash < 0 ? QStringLiteral(".") : to.left(std::max<qsizetype>(slash, 1)),
        O_RDONLY | O_DIRECTORY);
    if (folder.isOpen()) {
        ::fsync(folder.get());
    }
    return {};
}

void RealFileLayer::remove(const QString& path) {
    QFile::remove(path);
}

} // namespace tavorin
