#pragma once

#include "shell/file_descriptor.h"
#include "shell/file_layer.h"

#include <cerrno>

namespace tavorin::testing {

enum class FileStep { None, Create, WriteHalfway, Sync, Permissions, Replace };

// The real file system, except that one chosen step fails with a chosen error number after
// doing what a real failure there leaves behind (half the bytes written, the new file closed).
class FaultyFileLayer : public RealFileLayer {
public:
    explicit FaultyFileLayer(FileStep step, int error = EIO) : failing(step), errorNumber(error) {}

    // The platform's words for the injected error, as a real failure would carry them.
    QString message() const { return errorText(errorNumber); }

    FileStatus createNew(const QString& path) override {
        return failing == FileStep::Create ? injected() : RealFileLayer::createNew(path);
    }
    FileStatus write(QByteArrayView bytes) override {
        return failing == FileStep::WriteHalfway
                   ? (RealFileLayer::write(bytes.first(bytes.size() / 2)), injected())
                   : RealFileLayer::write(bytes);
    }
    FileStatus syncAndClose() override {
        return failing == FileStep::Sync ? (RealFileLayer::syncAndClose(), injected())
                                         : RealFileLayer::syncAndClose();
    }
    FileStatus givePermissions(const FileFacts& facts, const QString& to) override {
        return failing == FileStep::Permissions ? injected()
                                                : RealFileLayer::givePermissions(facts, to);
    }
    FileStatus replace(const QString& from, const QString& to) override {
        return failing == FileStep::Replace ? injected() : RealFileLayer::replace(from, to);
    }

private:
    FileStatus injected() const { return FileStatus::failure(errorNumber); }

    FileStep failing;
    int errorNumber;
};

} // namespace tavorin::testing
