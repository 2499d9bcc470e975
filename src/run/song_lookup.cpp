#include "run/song_lookup.h"

#include "run/name_order.h"
#include "shell/folder_listing.h"
#include "shell/path_utils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tavorin {

namespace {

// A normal file: regular, and not hidden (the platform's hidden files are never songs).
bool isNormalFile(const QFileInfo& info) {
    return info.isFile() && !info.isHidden();
}

} // namespace

SongLookup::SongLookup(const SongIndex& songIndex, bool atFirstSameFolder, bool preferRmp,
                       UnreadableSongReport reportUnreadable)
    : index(songIndex), sameFolderFirst(atFirstSameFolder), rmpFirst(preferRmp),
      reportUnreadableSong(std::move(reportUnreadable)) {}

QString SongLookup::find(const QString& lyricsPath) {
    QString found;
    if (sameFolderFirst) {
        found = findBeside(lyricsPath);
        if (found.isEmpty()) {
            found = index.find(lyricsPath);
        }
    } else {
        found = index.find(lyricsPath);
        if (found.isEmpty()) {
            found = findBeside(lyricsPath);
        }
    }
    if (found.isEmpty()) {
        reportUnreadableSongsBeside(lyricsPath);
    }
    return found;
}

// Only when a song is missing: then a song beside the lyrics file that no name can match may
// be the one the user meant (a Shift-JIS name from an old archive).
void SongLookup::reportUnreadableSongsBeside(const QString& lyricsPath) {
    const QString folder = folderOf(lyricsPath);
    if (!reportUnreadableSong || folder.isEmpty() || foldersReported.contains(folder)) {
        return;
    }
    foldersReported.insert(folder);
    std::vector<FolderEntry> unreadable;
    listFolder(folder, unreadable);
    for (const FolderEntry& entry : unreadable) {
        // Hidden files are never songs beside a lyrics file.
        if (entry.isFile && !entry.name.startsWith(u'.') && isSongFileName(entry.name)) {
            reportUnreadableSong(folder + entry.name);
        }
    }
}

QString SongLookup::findBeside(const QString& lyricsPath) {
    const QString folder = folderOf(lyricsPath); // ends in the separator, or empty
    const QString baseName = baseNameOf(lyricsPath);
    const QString mp3 = QStringLiteral(".mp3");
    const QString rmp = QStringLiteral(".rmp");
    for (const QString& extension : {rmpFirst ? rmp : mp3, rmpFirst ? mp3 : rmp}) {
        const QString candidate = folder + baseName + extension;
        if (isNormalFile(QFileInfo(candidate))) {
            return candidate;
        }
        // The file systems the wizard was made for ignore letter case: the same name in
        // another case is the song, the first in sorted order when there are several.
        const QHash<QString, QStringList>& files = filesOf(folder);
        const auto sameName = files.constFind((baseName + extension).toLower());
        if (sameName != files.constEnd()) {
            for (const QString& name : *sameName) {
                if (isNormalFile(QFileInfo(folder + name))) {
                    return folder + name;
                }
            }
        }
    }
    return {};
}

const QHash<QString, QStringList>& SongLookup::filesOf(const QString& folder) {
    const auto cached = folderFiles.constFind(folder);
    if (cached != folderFiles.constEnd()) {
        return *cached;
    }
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end(), precedesIgnoringCase);
    QHash<QString, QStringList> byLowerName;
    for (const QString& name : names) {
        byLowerName[name.toLower()].append(name);
    }
    return *folderFiles.insert(folder, byLowerName);
}

} // namespace tavorin
