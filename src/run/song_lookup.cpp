#include "run/song_lookup.h"

#include "run/name_order.h"
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

SongLookup::SongLookup(const SongIndex& songIndex, bool atFirstSameFolder, bool preferRmp)
    : index(songIndex), sameFolderFirst(atFirstSameFolder), rmpFirst(preferRmp) {}

QString SongLookup::find(const QString& lyricsPath) {
    if (sameFolderFirst) {
        const QString beside = findBeside(lyricsPath);
        return beside.isEmpty() ? index.find(lyricsPath) : beside;
    }
    const QString indexed = index.find(lyricsPath);
    return indexed.isEmpty() ? findBeside(lyricsPath) : indexed;
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
