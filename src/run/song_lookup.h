#pragma once

#include "run/song_index.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace tavorin {

// Finds the song file of a lyrics file: the same base name with ".mp3" or ".rmp", beside the
// lyrics file or in the Song Index. Names match ignoring letter case; the name returned is the
// one on disk.
class SongLookup {
public:
    // Shows the path of a song file whose name is not UTF-8, escaped.
    using UnreadableSongReport = std::function<void(const QString& shownPath)>;

    // songIndex is consulted only when it holds songs. reportUnreadable hears, once per run,
    // of each song beside a lyrics file whose song is not found that no name can match
    // because its own name is not UTF-8.
    SongLookup(const SongIndex& songIndex, bool atFirstSameFolder, bool preferRmp,
               UnreadableSongReport reportUnreadable = {});

    // The song file's path, or empty text when none is found.
    QString find(const QString& lyricsPath);
    QString findBeside(const QString& lyricsPath);

private:
    // Names of the folder's regular files, keyed by their lower-cased form, each list sorted.
    const QHash<QString, QStringList>& filesOf(const QString& folder);

    void reportUnreadableSongsBeside(const QString& lyricsPath);

    const SongIndex& index;
    bool sameFolderFirst;
    bool rmpFirst;
    UnreadableSongReport reportUnreadableSong;
    QHash<QString, QHash<QString, QStringList>> folderFiles;
    QSet<QString> foldersReported;
};

} // namespace tavorin
