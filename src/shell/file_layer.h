#pragma once

#include "shell/file_descriptor.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace tavorin {

// The result of one file-system call; message holds the platform's words for a failure.
struct FileStatus {
    bool ok = true;
    QString message;

    static FileStatus failure(QString why) { return {false, std::move(why)}; }
    static FileStatus failure(int errorNumber) { return failure(errorText(errorNumber)); }
};

// What the writer needs to know about a file before it replaces it.
struct FileFacts {
    bool isLink = false; // the name is a symbolic link; the facts below are of what it names
    bool exists = false;
    bool isRegular = false;
    bool anyoneMayWrite = false; // at least one write permission bit is set
    // What the new file that replaces this one is given: the permission bits (07777), the
    // owner and the group (-1 when unknown).
    std::uint32_t permissionBits = 0;
    std::int64_t owner = -1;
    std::int64_t group = -1;
};

// The file-system calls behind replacing a lyrics file. The real layer talks to the platform;
// tests pass a layer that fails at a chosen step. It holds at most one new file open at a time.
class FileLayer {
public:
    virtual ~FileLayer() = default;

    virtual FileFacts facts(const QString& path) = 0;
    // Creates a file that must not exist yet and keeps it open for writing.
    virtual FileStatus createNew(const QString& path) = 0;
    virtual FileStatus write(QByteArrayView bytes) = 0;
    // Flushes the new file to the disk and closes it.
    virtual FileStatus syncAndClose() = 0;
    // Closes the new file, if still open, without caring whether that works.
    virtual void abandon() = 0;
    // Gives `to` the permission bits (and, where the process may, the owner) in `facts`, those
    // of the file it replaces.
    virtual FileStatus givePermissions(const FileFacts& facts, const QString& to) = 0;
    // Renames `from` over `to`, replacing it in one step.
    virtual FileStatus replace(const QString& from, const QString& to) = 0;
    virtual void remove(const QString& path) = 0;
};

// The platform's file system.
class RealFileLayer : public FileLayer {
public:
    FileFacts facts(const QString& path) override;
    FileStatus createNew(const QString& path) override;
    FileStatus write(QByteArrayView bytes) override;
    FileStatus syncAndClose() override;
    void abandon() override;
    FileStatus givePermissions(const FileFacts& facts, const QString& to) override;
    FileStatus replace(const QString& from, const QString& to) override;
    void remove(const QString& path) override;

private:
    FileDescriptor newFile;
};

} // namespace tavorin
