#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <unordered_map>

namespace tavorin {

// Every song file (".mp3", ".rmp") under the Song Folder, in the order of discovery: a folder's
// own songs (the preferred extension first) before its subfolders, depth first, each folder's
// entries in ascending order of their names ignoring letter case. Built once per run.
class SongIndex {
public:
    // Empties the index, then walks the folder. processEvents runs once per song file found
    // and once per subfolder. Folders whose name starts with "." are skipped, a folder reached
    // again through a link is not walked twice, an unreadable folder is passed over.
    void build(const QString& songFolder, bool preferRmp,
               const std::function<void()>& processEvents = {});
    void clear();

    const QStringList& entries() const { return songs; }
    bool isEmpty() const { return songs.isEmpty(); }
    // The song files and subfolders the walk would have taken but whose names are not UTF-8,
    // in the order of discovery, their names shown escaped; a subfolder ends in the separator.
    const QStringList& unreadable() const { return unreadableNames; }

    // The first entry whose base name equals the lyrics file's base name ignoring letter case;
    // empty when there is none. The extension plays no part.
    QString find(const QString& lyricsPath) const;

private:
    // canonical: the folder's path with every link resolved, to walk each folder once.
    void walk(const QString& folder, const QString& canonical, bool preferRmp,
              const std::function<void()>& processEvents);

    QStringList songs;
    QStringList unreadableNames;
    // Hashes a name and finds it by a view, so a lookup builds no string.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(QStringView name) const { return qHash(name); }
    };
    // The entry of each lower-cased base name: the first one found, for a later song of the
    // same name never takes its place.
    std::unordered_map<QString, qsizetype, NameHash, std::equal_to<>> firstByName;
    QSet<QString> visitedFolders; // canonical paths
};

// A name ending in ".mp3" or ".rmp", in any letter case.
bool isSongFileName(const QString& name);

} // namespace tavorin
