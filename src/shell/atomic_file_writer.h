#pragma once

#include <QByteArrayView>
#include <QString>

namespace tavorin {

class FileLayer;

enum class WriteOutcome {
    Written,
    CannotOpen,  // the file or its folder refuses a new file (read-only, missing folder)
    CannotWrite, // opened, but writing, flushing or replacing failed (for example a full disk)
};

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Written;
    QString systemMessage; // the platform's own words for the failure, when it gave any
};

// Replaces the file at path with bytes: a temporary file in the same folder is written,
// flushed to disk and renamed over the original, keeping the original's permission bits.
// On any failure the original is unchanged and no temporary file is left behind.
// Not QSaveFile: it gives the new file neither the original's owner nor its special bits,
// does not flush the folder after the rename, and offers no seam to fail a chosen step.
WriteResult writeFileAtomically(const QString& path, QByteArrayView bytes);
WriteResult writeFileAtomically(const QString& path, QByteArrayView bytes, FileLayer& files);

// Removes from folder the temporary files of replacements that never finished because the
// process was killed between creating and renaming them: regular files named exactly as the
// writer names its temporary files, nothing else. Returns how many were removed.
int removeStaleTemporaryFiles(const QString& folder);

} // namespace tavorin
