#include "shell/file_descriptor.h"

#include <QFile>

#include <cerrno>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace tavorin {

FileDescriptor::~FileDescriptor() {
    close();
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : descriptor(std::exchange(other.descriptor, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        descriptor = std::exchange(other.descriptor, -1);
    }
    return *this;
}

FileDescriptor FileDescriptor::open(const QString& path, int flags, unsigned mode) {
    return FileDescriptor(
        ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, static_cast<mode_t>(mode)));
}

int FileDescriptor::close() {
    if (descriptor < 0) {
        return 0;
    }
    // The descriptor is gone whatever close says; asking again would close another file.
    const int closed = ::close(std::exchange(descriptor, -1));
    return closed == 0 ? 0 : errno;
}

QString errorText(int errorNumber) {
    return QString::fromLocal8Bit(std::error_code(errorNumber, std::generic_category()).message());
}

} // namespace tavorin
