#include "journal/journal_undo.h"

#include "journal/run_journal.h"
#include "shell/atomic_file_writer.h"
#include "shell/file_descriptor.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace tavorin {

namespace {

QJsonObject readManifest(const QString& runFolder) {
    QFile file(runFolder + QStringLiteral("/run.json"));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

std::vector<StoredEntry> readEntries(QFile& file, bool& damaged) {
    damaged = false;
    return file.open(QIODevice::ReadOnly) ? decodeJournalEntries(file, damaged)
                                          : std::vector<StoredEntry>();
}

std::optional<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

// The saved bytes in place of the file, with its permission bits and modification time back.
QString restore(const JournalEntry& entry) {
    const WriteResult written = writeFileAtomically(entry.path, entry.original);
    if (written.outcome != WriteOutcome::Written) {
        return written.systemMessage.isEmpty() ? QStringLiteral("?") : written.systemMessage;
    }
    const QByteArray name = QFile::encodeName(entry.path);
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(entry.modifiedSeconds), static_cast<long>(entry.modifiedNanoseconds)}};
    if (::chmod(name.constData(), static_cast<mode_t>(entry.permissionBits)) != 0 ||
        ::utimensat(AT_FDCWD, name.constData(), times, 0) != 0) {
        return errorText(errno);
    }
    return {};
}

} // namespace

QList<JournalRun> listJournalRuns(const QString& journalFolder) {
    QList<JournalRun> runs;
    const QDir journal(journalFolder);
    for (const QString& name : journal.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        JournalRun run;
        run.folder = journal.filePath(name);
        const QJsonObject manifest = readManifest(run.folder);
        // A run killed before its manifest was written replaced nothing.
        if (manifest.value(u"id").toString() != name) {
            continue;
        }
        run.id = name;
        run.started =
            QDateTime::fromString(manifest.value(u"started").toString(), Qt::ISODateWithMs);
        run.newMode = manifest.value(u"mode").toString() == u"new_tag";
        run.undone = QDateTime::fromString(manifest.value(u"undone").toString(), Qt::ISODateWithMs);
        QFile entries(run.folder + QLatin1Char('/') + journalEntriesName);
        bool damaged = false;
        run.fileCount = static_cast<int>(readEntries(entries, damaged).size());
        runs.append(run);
    }
    return runs;
}

QString journalRunsText(const QList<JournalRun>& runs) {
    QString text;
    for (const JournalRun& run : runs) {
        text += run.id + QStringLiteral("  ") +
                run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                QStringLiteral("  ") +
                (run.newMode ? QStringLiteral("新規追加") : QStringLiteral("補正")) +
                QStringLiteral("  %1 ファイル").arg(run.fileCount) +
                (run.undone.isValid() ? QStringLiteral("  取り消し済み") : QString()) +
                QLatin1Char('\n');
    }
    return text;
}

UndoOutcome undoRun(const QString& journalFolder, const QString& runId, RunHost& host) {
    const QList<JournalRun> runs = listJournalRuns(journalFolder);
    const auto found = std::find_if(runs.rbegin(), runs.rend(), [&](const JournalRun& run) {
        return runId.isEmpty() || run.id == runId;
    });
    if (found == runs.rend()) {
        host.appendLog(QStringLiteral("取り消す実行がありません。") + crlf);
        return UndoOutcome::NoSuchRun;
    }
    const JournalRun& run = *found;
    if (run.undone.isValid()) {
        host.appendLog(QStringLiteral("この実行 (%1) はもう取り消してあります。").arg(run.id) +
                       crlf);
        return UndoOutcome::AlreadyUndone;
    }

    host.appendLog(QStringLiteral("取り消し開始 (%1)").arg(run.id) + crlf + crlf);
    QFile entriesFile(run.folder + QLatin1Char('/') + journalEntriesName);
    bool damaged = false;
    std::vector<StoredEntry> entries = readEntries(entriesFile, damaged);
    int left = 0;
    bool failed = false;
    if (damaged || entriesFile.error() != QFileDevice::NoError) {
        // Entries past the damage cannot be found: their files are named nowhere else.
        host.appendLog(QStringLiteral("控えが壊れているので、一部のファイルを元に戻せません: ") +
                       entriesFile.fileName() + crlf + crlf);
        ++left, failed = true;
    }
    for (auto stored = entries.rbegin(); stored != entries.rend(); ++stored) {
        JournalEntry& entry = stored->entry;
        host.appendLog(QStringLiteral("歌詞ファイル：") + entry.path + crlf);
        if (stored->state == EntryState::Whole && entriesFile.seek(stored->originalAt)) {
            entry.original = entriesFile.read(stored->originalSize);
        }
        const std::optional<QByteArray> current = readWhole(entry.path);
        const QByteArray currentSha256 = current ? sha256(*current) : QByteArray();
        QString message;
        if (current && currentSha256 == entry.originalSha256) {
            // Killed between saving and replacing, or the replacement failed.
            message = QStringLiteral("元のままです。");
        } else if (!current || currentSha256 != entry.writtenSha256) {
            message = QStringLiteral("実行の後で変更されているので、そのままにしました。");
            ++left;
        } else if (sha256(entry.original) != entry.originalSha256) {
            message = QStringLiteral("控えが壊れているので元に戻せません。");
            ++left, failed = true;
        } else if (const QString why = restore(entry); !why.isEmpty()) {
            message =
                QStringLiteral("歌詞ファイルに書き込めません。（") + why + QStringLiteral("）");
            ++left, failed = true;
        } else {
            message = QStringLiteral("元に戻しました。");
        }
        host.appendLog(message + crlf + crlf);
    }
    // A file that could not be written yet may be put back by a later undo; one changed by
    // somebody else stays theirs however often the run is undone.
    if (!failed) {
        QJsonObject manifest = readManifest(run.folder);
        manifest.insert(QStringLiteral("undone"),
                        QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
        writeFileAtomically(run.folder + QStringLiteral("/run.json"),
                            QJsonDocument(manifest).toJson());
    }
    host.appendLog(QStringLiteral("取り消し終了") + crlf);
    return left == 0 ? UndoOutcome::Done : UndoOutcome::SomeLeft;
}

} // namespace tavorin
