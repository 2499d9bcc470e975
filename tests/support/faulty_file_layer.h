#pragma once

#include "shell/file_layer.h"

#include <QString>

#include <cerrno>

namespace tavorin::testing {

enum class FileStep { None, Create, WriteHalfway, Sync, Permissions, Replace };

// The real file system, except that one chosen step fails with a chosen error number after
// doing what a real failure at that point leaves behind (half the bytes written, the new file
// closed).
class FaultyFileLayer : public FileLayer {
public:
    explicit FaultyFileLayer(FileStep step, int error = EIO) : failing(step), errorNumber(error) {}

    // The platform's words for the injected error, as a real failure would carry them.
    QString message() const { return errorText(errorNumber); }

    FileFacts facts(const QString& path) override { return real.facts(path); }
    FileStatus createNew(const QString& path) override {
        return failing == FileStep::Create ? injected() : real.createNew(path);
    }
    FileStatus write(QByteArrayView bytes) override {
        if (failing == FileStep::WriteHalfway) {
            real.write(bytes.first(bytes.size() / 2));
            return injected();
        }
        return real.write(bytes);
    }
    FileStatus syncAndClose() override {
        const FileStatus status = real.syncAndClose();
        return failing == FileStep::Sync ? injected() : status;
    }
    void abandon() override { real.abandon(); }
    FileStatus givePermissions(const FileFacts& facts, const QString& to) override {
        return failing == FileStep::Permissions ? injected() : real.givePermissions(facts, to);
    }
    FileStatus replace(const QString& from, const QString& to) override {
        return failing == FileStep::Replace ? injected() : real.replace(from, to);
    }
    void remove(const QString& path) override { real.remove(path); }

private:
    FileStatus injected() const { return FileStatus::failure(errorNumber); }

    RealFileLayer real;
    FileStep failing;
    int errorNumber;
};

} // namespace tavorin::testing
