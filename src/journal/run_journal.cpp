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
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavorin {

namespace {

// A path of any length the platform allows, with room for the rest of the line.
constexpr qint64 maxHeaderBytes = 64 * 1024;

// The platform's file system, where the run's entries are synced just before the new lyrics
// file: on a journaling file system one commit then serves both, and the entries are on the
// disk before the new file replaces the old one.
class EntriesSyncingFileLayer : public FileLayer {
public:
    explicit EntriesSyncingFileLayer(std::function<FileStatus()> syncFirst)
        : syncEntries(std::move(syncFirst)) {}

    FileFacts facts(const QString& path) override { return real.facts(path); }
    FileStatus createNew(const QString& path) override { return real.createNew(path); }
    FileStatus write(QByteArrayView bytes) override { return real.write(bytes); }
    FileStatus syncAndClose() override {
        if (const FileStatus synced = syncEntries(); !synced.ok) {
            real.abandon();
            return synced;
        }
        return real.syncAndClose();
    }
    void abandon() override { real.abandon(); }
    FileStatus givePermissions(const FileFacts& facts, const QString& to) override {
        return real.givePermissions(facts, to);
    }
    FileStatus replace(const QString& from, const QString& to) override {
        return real.replace(from, to);
    }
    void remove(const QString& path) override { real.remove(path); }

private:
    RealFileLayer real;
    std::function<FileStatus()> syncEntries;
};

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
        {QStringLiteral("original_sha256"), QString::fromLatin1(entry.originalSha256)},
        {QStringLiteral("size"), static_cast<qint64>(entry.original.size())},
    };
    return QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + entry.original;
}

std::vector<StoredEntry> decodeJournalEntries(QIODevice& stored, bool& damaged) {
    std::vector<StoredEntry> entries;
    damaged = false;
    while (!stored.atEnd()) {
        const QByteArray line = stored.readLine(maxHeaderBytes);
        if (!line.endsWith('\n')) {
            // The run ended while saving the line, before the file was replaced; or damage.
            damaged = line.size() >= maxHeaderBytes - 1;
            break;
        }
        const QJsonObject header = QJsonDocument::fromJson(line).object();
        StoredEntry found;
        JournalEntry& entry = found.entry;
        entry.path = header.value(u"path").toString();
        entry.permissionBits = static_cast<std::uint32_t>(header.value(u"permissions").toInteger());
        bool secondsRead = false;
        bool nanosecondsRead = false;
        entry.modifiedSeconds = header.value(u"modified_s").toString().toLongLong(&secondsRead);
        entry.modifiedNanoseconds =
            header.value(u"modified_ns").toString().toLongLong(&nanosecondsRead);
        entry.writtenSha256 = header.value(u"written_sha256").toString().toLatin1();
        entry.originalSha256 = header.value(u"original_sha256").toString().toLatin1();
        found.originalSize = header.value(u"size").toInteger(-1);
        found.originalAt = stored.pos();
        if (entry.path.isEmpty() || !secondsRead || !nanosecondsRead ||
            entry.writtenSha256.size() != 64 || entry.originalSha256.size() != 64 ||
            found.originalSize < 0) {
            damaged = true;
            break;
        }
        const bool whole = stored.size() - found.originalAt >= found.originalSize;
        const qint64 next = found.originalAt + found.originalSize;
        found.state = whole ? EntryState::Whole : EntryState::CutShort;
        entries.push_back(std::move(found));
        if (!whole || !stored.seek(next)) {
            break;
        }
    }
    return entries;
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
    // The manifest's replacement syncs the folder, and with it the entries' name.
    entries = FileDescriptor::open(folder + QLatin1Char('/') + journalEntriesName,
                                   O_WRONLY | O_CREAT | O_EXCL | O_APPEND, 0600);
    if (!entries.isOpen()) {
        const int error = errno;
        QDir(folder).removeRecursively();
        return FileStatus::failure(error);
    }
    const WriteResult written =
        writeFileAtomically(folder + QStringLiteral("/run.json"), QJsonDocument(manifest).toJson());
    if (written.outcome != WriteOutcome::Written) {
        entries.close();
        QDir(folder).removeRecursively();
        return FileStatus::failure(written.systemMessage);
    }
    id = candidate;
    runFolder = folder;
    return {};
}

FileStatus RunJournal::appendEntry(const QString& path, QByteArrayView newBytes) {
    if (id.isEmpty()) {
        if (const FileStatus started = startRun(); !started.ok) {
            return started;
        }
    }
    if (!entries.isOpen()) {
        return FileStatus::failure(QStringLiteral("the journal of this run is cut short"));
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
    entry.originalSha256 = sha256(entry.original);
    const QByteArray bytes = encodeJournalEntry(entry);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(entries.get(), bytes.constData() + done,
                                        static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno != EINTR) {
            const int error = errno;
            // Cut back, so that a later entry still follows a whole one.
            if (::ftruncate(entries.get(), static_cast<off_t>(entriesSize)) != 0) {
                entries.close();
            }
            return FileStatus::failure(error);
        }
        done += written > 0 ? written : 0;
    }
    entriesSize += bytes.size();
    return {};
}

FileStatus RunJournal::syncEntries() {
    if (::fdatasync(entries.get()) != 0) {
        // What reached the disk is unknown now: nothing more is saved behind it.
        const int error = errno;
        entries.close();
        return FileStatus::failure(error);
    }
    return {};
}

FileStatus RunJournal::saveOriginal(const QString& path, QByteArrayView newBytes) {
    const FileStatus appended = appendEntry(path, newBytes);
    return appended.ok ? syncEntries() : appended;
}

LyricsWriter RunJournal::writer() {
    return [this](const QString& path, const QString& text, TextEncoding encoding) {
        const QByteArray bytes = encodeText(text, encoding);
        const auto notSaved = [](const FileStatus& status) {
            return WriteResult{WriteOutcome::CannotWrite,
                               QStringLiteral("取り消し用の控えを保存できません: ") +
                                   status.message};
        };
        if (const FileStatus saved = appendEntry(path, bytes); !saved.ok) {
            return notSaved(saved);
        }
        std::optional<FileStatus> syncFailure;
        EntriesSyncingFileLayer files([&] {
            const FileStatus synced = syncEntries();
            syncFailure = synced.ok ? std::nullopt : std::optional(synced);
            return synced;
        });
        const WriteResult written = writeFileAtomically(path, bytes, files);
        return syncFailure ? notSaved(*syncFailure) : written;
    };
}

} // namespace tavorin
