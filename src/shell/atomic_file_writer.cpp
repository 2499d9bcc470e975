#include "shell/atomic_file_writer.h"

#include "shell/file_layer.h"
#include "shell/folder_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>

namespace tavorin {

namespace {

// A hidden name beside the target that no other writer picks, short enough for any folder
// that holds the target, and with no lyrics or song extension, so that a crash leaves at most
// a stray dot file that no run mistakes for a lyrics file.
const QLatin1String temporaryPrefix(".tavorin-");
const QLatin1String temporarySuffix(".tmp");

QString temporaryPathFor(const QFileInfo& target) {
    const QString random =
        QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull, 36);
    return target.absolutePath() + QLatin1Char('/') + temporaryPrefix + random + temporarySuffix;
}

WriteResult failed(WriteOutcome outcome, QString message) {
    return {outcome, std::move(message)};
}

WriteResult failed(WriteOutcome outcome, int errorNumber) {
    return failed(outcome, errorText(errorNumber));
}

} // namespace

WriteResult writeFileAtomically(const QString& path, QByteArrayView bytes) {
    RealFileLayer files;
    return writeFileAtomically(path, bytes, files);
}

WriteResult writeFileAtomically(const QString& path, QByteArrayView bytes, FileLayer& files) {
    QFileInfo target(path);
    QString targetPath = target.absoluteFilePath();
    FileFacts facts = files.facts(targetPath);
    // Through a link, the file the link names is replaced and the link stays a link.
    if (facts.isLink && !target.canonicalFilePath().isEmpty()) {
        target = QFileInfo(target.canonicalFilePath());
        targetPath = target.absoluteFilePath();
        facts = files.facts(targetPath);
    }
    if (facts.exists && !facts.isRegular) {
        return failed(WriteOutcome::CannotOpen, EISDIR);
    }
    // A file nobody may write is read-only, whoever runs the repair: the superuser (under
    // which tests and CI run) passes every permission check, so the bits are looked at here.
    if (facts.exists && !facts.anyoneMayWrite) {
        return failed(WriteOutcome::CannotOpen, EACCES);
    }

    const QString temporaryPath = temporaryPathFor(target);
    const FileStatus created = files.createNew(temporaryPath);
    if (!created.ok) {
        return failed(WriteOutcome::CannotOpen, created.message);
    }
    FileStatus status = files.write(bytes);
    if (status.ok) {
        status = files.syncAndClose();
    } else {
        files.abandon();
    }
    if (status.ok && facts.exists) {
        status = files.givePermissions(facts, temporaryPath);
    }
    if (status.ok) {
        status = files.replace(temporaryPath, targetPath);
    }
    if (!status.ok) {
        files.remove(temporaryPath);
        return failed(WriteOutcome::CannotWrite, status.message);
    }
    return {};
}

int removeStaleTemporaryFiles(const QString& folder) {
    static const QRegularExpression ownName(QStringLiteral("^\\.tavorin-[0-9a-z]{1,10}\\.tmp$"));
    const QDir dir(folder);
    int removed = 0;
    // The listing's own entry types: no status query per file of the folder.
    for (const FolderEntry& entry : listFolder(folder)) {
        if (entry.isFile && !entry.isLink && entry.name.startsWith(temporaryPrefix) &&
            entry.name.endsWith(temporarySuffix) && ownName.match(entry.name).hasMatch() &&
            QFile::remove(dir.filePath(entry.name))) {
            ++removed;
        }
    }
    return removed;
}

} // namespace tavorin
