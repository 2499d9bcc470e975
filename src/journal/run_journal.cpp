#include "journal/run_journal.h"

#include "shell/atomic_file_writer.h"
#include "shell/file_descriptor.h"
#include "shell/text_codec.h"
#include "tavorin/version.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavorin {

namespace {

const QLatin1String entrySuffix(".entry");

// Writes bytes to a new file and syncs it, then gives it its name and syncs the folder: an
// entry that has its name is whole and on the disk.
FileStatus writeSynced(const QString& folder, const QString& name, QByteArrayView bytes) {
    const QString partPath = folder + QLatin1Char('/') + name + QStringLiteral(".part");
    FileDescriptor file = FileDescriptor::open(partPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (!file.isOpen()) {
        return FileStatus::failure(errno);
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(file.get(), bytes.data() + done, static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno != EINTR) {
            const int error = errno;
            QFile::remove(partPath);
            return FileStatus::failure(error);
        }
        done += written > 0 ? written : 0;
    }
    int error = ::fdatasync(file.get()) == 0 ? 0 : errno;
    error = error != 0 ? error : file.close();
    if (error == 0 &&
        ::rename(QFile::encodeName(partPath).constData(),
                 QFile::encodeName(folder + QLatin1Char('/') + name).constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        QFile::remove(partPath);
        return FileStatus::failure(error);
    }
    const FileDescriptor folderHandle = FileDescriptor::open(folder, O_RDONLY | O_DIRECTORY);
    if (!folderHandle.isOpen() || ::fsync(folderHandle.get()) != 0) {
        return FileStatus::failure(errno);
    }
    return {};
}

std::int64_t folderBytes(const QString& folder) {
    std::int64_t total = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        total += files.nextFileInfo().size();
    }
    return total;
}

// Removes the oldest runs so that, with the one starting, journalRunsKept remain and the
// others hold at most journalBytesKept.
void pruneJournal(const QString& journalFolder) {
    QDir journal(journalFolder);
    QStringList runs = journal.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::int64_t total = 0;
    QList<std::int64_t> sizes;
    for (const QString& run : runs) {
        sizes.append(folderBytes(journal.filePath(run)));
        total += sizes.constLast();
    }
    for (int i = 0; i < runs.size(); ++i) {
        if (runs.size() - i < journalRunsKept && total <= journalBytesKept) {
            break;
        }
        QDir(journal.filePath(runs.at(i))).removeRecursively();
        total -= sizes.at(i);
    }
}

} // namespace

QString defaultJournalFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tavorin-wizard/runs");
}

QByteArray sha256(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray encodeJournalEntry(const JournalEntry& entry) {
    const QJsonObject header{
        {QStringLiteral("path"), entry.path},
        {QStringLiteral("permissions"), static_cast<qint64>(entry.permissionBits)},
        // Nanoseconds since 1970 exceed what a JSON number holds exactly.
        {QStringLiteral("modified_s"), QString::number(entry.modifiedSeconds)},
        {QStringLiteral("modified_ns"), QString::number(entry.modifiedNanoseconds)},
        {QStringLiteral("written_sha256"), QString::fromLatin1(entry.writtenSha256)},
        {QStringLiteral("original_sha256"), QString::fromLatin1(sha256(entry.original))},
        {QStringLiteral("size"), static_cast<qint64>(entry.original.size())},
    };
    return QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + entry.original;
}

std::optional<JournalEntry> decodeJournalEntry(const QByteArray& stored) {
    const qsizetype lineEnd = stored.indexOf('\n');
    const QJsonObject header = QJsonDocument::fromJson(stored.left(lineEnd)).object();
    JournalEntry entry;
    entry.path = header.value(u"path").toString();
    entry.permissionBits = static_cast<std::uint32_t>(header.value(u"permissions").toInteger());
    bool secondsRead = false;
    bool nanosecondsRead = false;
    entry.modifiedSeconds = header.value(u"modified_s").toString().toLongLong(&secondsRead);
    entry.modifiedNanoseconds =
        header.value(u"modified_ns").toString().toLongLong(&nanosecondsRead);
    entry.writtenSha256 = header.value(u"written_sha256").toString().toLatin1();
    entry.original = stored.mid(lineEnd + 1);
    if (lineEnd < 0 || entry.path.isEmpty() || !secondsRead || !nanosecondsRead ||
        entry.writtenSha256.size() != 64 ||
        header.value(u"size").toInteger(-1) != entry.original.size() ||
        header.value(u"original_sha256").toString().toLatin1() != sha256(entry.original)) {
        return std::nullopt;
    }
    return entry;
}

RunJournal::RunJournal(QString folder, bool newTagMode)
    : journalFolder(std::move(folder)), newMode(newTagMode) {}

FileStatus RunJournal::startRun() {
    if (!QDir().mkpath(journalFolder)) {
        return FileStatus::failure(QStringLiteral("cannot make ") + journalFolder);
    }
    pruneJournal(journalFolder);
    const QDateTime started = QDateTime::currentDateTimeUtc();
    // Named by the time it started, so the names sort oldest first; two runs in the same
    // millisecond take the next free name.
    const QString stamp = started.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString candidate = stamp;
    for (int n = 2; !QDir(journalFolder).mkdir(candidate); ++n) {
        if (n > 100) {
            return FileStatus::failure(QStringLiteral("cannot make a run folder in ") +
                                       journalFolder);
        }
        candidate = stamp + QLatin1Char('-') + QString::number(n);
    }
    const QJsonObject manifest{
        {QStringLiteral("id"), candidate},
        {QStringLiteral("started"), started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("mode"),
         newMode ? QStringLiteral("new_tag") : QStringLiteral("correction")},
        {QStringLiteral("program_version"), QLatin1String(programVersion)},
    };
    const QString folder = journalFolder + QLatin1Char('/') + candidate;
    const WriteResult written =
        writeFileAtomically(folder + QStringLiteral("/run.json"), QJsonDocument(manifest).toJson());
    if (written.outcome != WriteOutcome::Written) {
        QDir(folder).removeRecursively();
        return FileStatus::failure(written.systemMessage);
    }
    id = candidate;
    runFolder = folder;
    return {};
}

FileStatus RunJournal::saveOriginal(const QString& path, QByteArrayView newBytes) {
    if (id.isEmpty()) {
        if (const FileStatus started = startRun(); !started.ok) {
            return started;
        }
    }
    JournalEntry entry;
    entry.path = path;
    struct stat facts {};
    QFile file(path);
    if (::stat(QFile::encodeName(path).constData(), &facts) != 0) {
        return FileStatus::failure(errno);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return FileStatus::failure(file.errorString());
    }
    entry.original = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return FileStatus::failure(file.errorString());
    }
    entry.permissionBits = facts.st_mode & 07777;
    entry.modifiedSeconds = facts.st_mtim.tv_sec;
    entry.modifiedNanoseconds = facts.st_mtim.tv_nsec;
    entry.writtenSha256 = sha256(newBytes);
    ++entryCount;
    return writeSynced(runFolder,
                       QStringLiteral("%1").arg(entryCount, 6, 10, QLatin1Char('0')) + entrySuffix,
                       encodeJournalEntry(entry));
}

LyricsWriter RunJournal::wrap(LyricsWriter writer) {
    return [this, writer = std::move(writer)](const QString& path, const QString& text,
                                              TextEncoding encoding) {
        const FileStatus saved = saveOriginal(path, encodeText(text, encoding));
        if (!saved.ok) {
            return WriteResult{WriteOutcome::CannotWrite,
                               QStringLiteral("取り消し用の控えを保存できません: ") +
                                   saved.message};
        }
        return writer(path, text, encoding);
    };
}

} // namespace tavorin
