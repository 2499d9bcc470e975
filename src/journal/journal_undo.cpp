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

const QString crlfText = QStringLiteral("\r\n");

QJsonObject readManifest(const QString& runFolder) {
    QFile file(runFolder + QStringLiteral("/run.json"));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

QStringList entryNames(const QString& runFolder) {
    return QDir(runFolder).entryList({QStringLiteral("*.entry")}, QDir::Files, QDir::Name);
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
        run.fileCount = static_cast<int>(entryNames(run.folder).size());
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
        host.appendLog(QStringLiteral("取り消す実行がありません。") + crlfText);
        return UndoOutcome::NoSuchRun;
    }
    const JournalRun& run = *found;
    if (run.undone.isValid()) {
        host.appendLog(QStringLiteral("この実行 (%1) はもう取り消してあります。").arg(run.id) +
                       crlfText);
        return UndoOutcome::AlreadyUndone;
    }

    host.appendLog(QStringLiteral("取り消し開始 (%1)").arg(run.id) + crlfText + crlfText);
    QStringList names = entryNames(run.folder);
    std::reverse(names.begin(), names.end());
    int left = 0;
    bool failed = false;
    for (const QString& name : names) {
        const std::optional<QByteArray> stored = readWhole(run.folder + QLatin1Char('/') + name);
        const std::optional<JournalEntry> entry =
            stored ? decodeJournalEntry(*stored) : std::nullopt;
        if (!entry) {
            host.appendLog(QStringLiteral("控えが壊れているので元に戻せません: ") + run.folder +
                           QLatin1Char('/') + name + crlfText + crlfText);
            ++left, failed = true;
            continue;
        }
        host.appendLog(QStringLiteral("歌詞ファイル：") + entry->path + crlfText);
        const std::optional<QByteArray> current = readWhole(entry->path);
        QString message;
        if (current && *current == entry->original) {
            // Killed between saving and replacing, or the replacement failed.
            message = QStringLiteral("元のままです。");
        } else if (!current || sha256(*current) != entry->writtenSha256) {
            message = QStringLiteral("実行の後で変更されているので、そのままにしました。");
            ++left;
        } else if (const QString why = restore(*entry); !why.isEmpty()) {
            message =
                QStringLiteral("歌詞ファイルに書き込めません。（") + why + QStringLiteral("）");
            ++left, failed = true;
        } else {
            message = QStringLiteral("元に戻しました。");
        }
        host.appendLog(message + crlfText + crlfText);
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
    host.appendLog(QStringLiteral("取り消し終了") + crlfText);
    return left == 0 ? UndoOutcome::Done : UndoOutcome::SomeLeft;
}

} // namespace tavorin
