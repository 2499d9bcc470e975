#pragma once

#include <QString>

namespace tavorin {

// An open file descriptor, closed when its owner goes away, so that no failure on the way
// leaves a file open. Move-only: one owner at a time.
class FileDescriptor {
public:
    FileDescriptor() = default;
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    // Opens path with the open(2) flags (close-on-exec always added); closed on failure,
    // with errno telling why.
    static FileDescriptor open(const QString& path, int flags, unsigned mode = 0);

    bool isOpen() const { return descriptor >= 0; }
    int get() const { return descriptor; }
    // Closes now; 0, or the error number when closing failed (a write the disk refused late).
    int close();

private:
    explicit FileDescriptor(int opened) : descriptor(opened) {}

    int descriptor = -1;
};

// The platform's own words for an error number, for the Run Log.
QString errorText(int errorNumber);

} // namespace tavorin
