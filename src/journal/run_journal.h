#pragma once

#include "run/lyrics_file_steps.h"
#include "shell/file_layer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

// Where the runs' journals live: one folder per run under the wizard's data folder, shared by
// tavorin-cli, so a run made in either can be listed and undone from the terminal.
QString defaultJournalFolder();

inline constexpr int journalRunsKept = 20;
inline constexpr std::int64_t journalBytesKept = std::int64_t{1} << 30;

// What the journal keeps of one lyrics file a run replaced: enough to put it back and to tell
// whether anybody changed it after the run.
struct JournalEntry {
    QString path;
    std::uint32_t permissionBits = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    QByteArray writtenSha256; // of the bytes the run put in its place
    QByteArray original;
};

// An entry as stored: one line of JSON, then the original bytes. Nothing when the bytes are
// not an entry whole (a damaged journal).
QByteArray encodeJournalEntry(const JournalEntry& entry);
std::optional<JournalEntry> decodeJournalEntry(const QByteArray& stored);

QByteArray sha256(QByteArrayView bytes);

// One run's journal. Its folder is made when the run replaces its first file, so a dry run and
// a run that changes nothing leave no journal; making it also removes the oldest runs beyond
// journalRunsKept and journalBytesKept.
class RunJournal {
public:
    RunJournal(QString journalFolder, bool newMode);

    // Saves the file's bytes, permission bits and modification time and the hash of newBytes,
    // synced to the disk, so the file can be put back however the run ends after this.
    FileStatus saveOriginal(const QString& path, QByteArrayView newBytes);

    // writer, with every replacement saved first; a file whose original cannot be saved is
    // not replaced: the run would otherwise change a file it could not give back.
    LyricsWriter wrap(LyricsWriter writer);

    // Empty until the first file is saved.
    const QString& runId() const { return id; }

private:
    FileStatus startRun();

    QString journalFolder;
    bool newMode;
    QString id;
    QString runFolder;
    int entryCount = 0;
};

} // namespace tavorin
