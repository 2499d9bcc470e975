#pragma once

#include "run/song_index.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace tavorin {

// Finds the song file of a lyrics file: the same base name with ".mp3" or ".rmp", beside the
// lyrics file or in the Song Index. Names match ignoring letter case; the name returned is the
// one on disk.
class SongLookup {
public:
    // songIndex is consulted only when it holds songs.
    SongLookup(const SongIndex& songIndex, bool atFirstSameFolder, bool preferRmp);

    // The song file's path, or empty text when none is found.
    QString find(const QString& lyricsPath);
    QString findBeside(const QString& lyricsPath);

private:
    // Names of the folder's regular files, keyed by their lower-cased form, each list sorted.
    const QHash<QString, QStringList>& filesOf(const QString& folder);

    const SongIndex& index;
    bool sameFolderFirst;
    bool rmpFirst;
    QHash<QString, QHash<QString, QStringList>> folderFiles;
};

} // namespace tavorin
