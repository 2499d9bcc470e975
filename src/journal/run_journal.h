#pragma once

#include "run/lyrics_file_steps.h"
#include "shell/file_descriptor.h"
#include "shell/file_layer.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

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
    QByteArray originalSha256;
    QByteArray original;
};

enum class EntryState {
    Whole,
    CutShort, // the run ended while saving it, before the file was replaced
    Damaged,  // the saved bytes are not what was saved
};

// An entry as found in the journal, its original not yet read.
struct StoredEntry {
    JournalEntry entry; // without the original
    EntryState state = EntryState::Whole;
    qint64 originalAt = 0;
    qint64 originalSize = 0;
};

// An entry as stored: one line of JSON, then the original bytes. A run's entries follow each
// other in one file, so that saving a file costs one sync. Decoding stops at a line that is no
// entry's, which only damage makes (damaged is then set).
QByteArray encodeJournalEntry(const JournalEntry& entry);
std::vector<StoredEntry> decodeJournalEntries(QIODevice& stored, bool& damaged);

inline const QString journalEntriesName = QStringLiteral("entries");

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

    // The atomic writer on the disk, with every replacement saved first; a file whose original
    // cannot be saved is not replaced: the run would otherwise change a file it could not give
    // back.
    LyricsWriter writer();

    // Empty until the first file is saved.
    const QString& runId() const { return id; }

private:
    FileStatus startRun();
    // Adds the file's entry to the run's entries, not yet synced.
    FileStatus appendEntry(const QString& path, QByteArrayView newBytes);
    FileStatus syncEntries();

    QString journalFolder;
    bool newMode;
    QString id;
    QString runFolder;
    FileDescriptor entries;
    std::int64_t entriesSize = 0;
};

} // namespace tavorin
