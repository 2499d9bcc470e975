#include "shell/file_layer.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavorin {

namespace {

std::filesystem::path fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString messageOf(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message());
}

QString messageOfErrno(int error) {
    return messageOf(std::error_code(error, std::generic_category()));
}

} // namespace

RealFileLayer::~RealFileLayer() {
    abandon();
}

#ifdef Q_OS_UNIX

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
// Failures carry the words QFile would have given.
FileStatus RealFileLayer::createNew(const QString& path) {
    abandon();
    handle =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle < 0) {
        return FileStatus::failure(qt_error_string(errno));
    }
    return {};
}

FileStatus RealFileLayer::write(QByteArrayView bytes) {
    if (handle < 0) {
        return FileStatus::failure(messageOfErrno(EBADF));
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(handle, bytes.data() + done, static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return FileStatus::failure(qt_error_string(errno));
        }
        if (written == 0) {
            return FileStatus::failure(messageOfErrno(EIO));
        }
        done += written;
    }
    return {};
}

FileStatus RealFileLayer::syncAndClose() {
    if (handle < 0) {
        return FileStatus::failure(messageOfErrno(EBADF));
    }
    const int synced = ::fsync(handle);
    const int syncError = errno;
    const int closed = ::close(handle);
    const int closeError = errno;
    handle = -1;
    if (synced != 0) {
        return FileStatus::failure(messageOfErrno(syncError));
    }
    if (closed != 0) {
        return FileStatus::failure(qt_error_string(closeError));
    }
    return {};
}

void RealFileLayer::abandon() {
    if (handle >= 0) {
        ::close(handle);
        handle = -1;
    }
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
        return FileStatus::failure(messageOfErrno(errno));
    }
    return {};
}

#else

FileFacts RealFileLayer::facts(const QString& path) {
    constexpr auto writeBits = std::filesystem::perms::owner_write |
                               std::filesystem::perms::group_write |
                               std::filesystem::perms::others_write;
    // The name's own status first: for anything but a link it is already the answer.
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::symlink_status(fsPath(path), error);
    FileFacts facts;
    if (!error && std::filesystem::is_symlink(status)) {
        facts.isLink = true;
        status = std::filesystem::status(fsPath(path), error);
    }
    if (error || !std::filesystem::exists(status)) {
        return facts;
    }
    facts.exists = true;
    facts.isRegular = std::filesystem::is_regular_file(status);
    facts.anyoneMayWrite = (status.permissions() & writeBits) != std::filesystem::perms::none;
    facts.permissionBits =
        static_cast<std::uint32_t>(status.permissions() & std::filesystem::perms::mask);
    return facts;
}

FileStatus RealFileLayer::createNew(const QString& path) {
    file = std::make_unique<QFile>(path);
    // Unbuffered, so a full disk shows up in write() and not later in a silent flush.
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        FileStatus status = FileStatus::failure(file->errorString());
        file.reset();
        return status;
    }
    return {};
}

FileStatus RealFileLayer::write(QByteArrayView bytes) {
    if (!file) {
        return FileStatus::failure(messageOfErrno(EBADF));
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file->write(bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            return FileStatus::failure(file->errorString());
        }
        if (written == 0) {
            return FileStatus::failure(messageOfErrno(EIO));
        }
        done += written;
    }
    return {};
}

FileStatus RealFileLayer::syncAndClose() {
    if (!file) {
        return FileStatus::failure(messageOfErrno(EBADF));
    }
    const int synced = ::_commit(file->handle());
    const int syncError = errno;
    file->close();
    const bool closed = file->error() == QFileDevice::NoError;
    const QString closeMessage = file->errorString();
    file.reset();
    if (synced != 0) {
        return FileStatus::failure(messageOfErrno(syncError));
    }
    if (!closed) {
        return FileStatus::failure(closeMessage);
    }
    return {};
}

void RealFileLayer::abandon() {
    file.reset();
}

FileStatus RealFileLayer::givePermissions(const FileFacts& original, const QString& to) {
    std::error_code error;
    std::filesystem::permissions(fsPath(to),
                                 static_cast<std::filesystem::perms>(original.permissionBits),
                                 std::filesystem::perm_options::replace, error);
    if (error) {
        return FileStatus::failure(messageOf(error));
    }
    return {};
}

#endif

FileStatus RealFileLayer::replace(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error) {
        return FileStatus::failure(messageOf(error));
    }
#ifndef Q_OS_WIN
    // Make the new name itself durable; the contents already are. Best effort: the
    // replacement has happened whatever this says.
    const std::filesystem::path folder = fsPath(to).parent_path();
    const int folderHandle =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderHandle >= 0) {
        ::fsync(folderHandle);
        ::close(folderHandle);
    }
#endif
    return {};
}

void RealFileLayer::remove(const QString& path) {
    QFile::remove(path);
}

} // namespace tavorin
