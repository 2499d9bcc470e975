#include "run/song_index.h"

#include "shell/path_utils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tavorin {

void sortNamesIgnoringCase(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

void SongIndex::clear() {
    songs.clear();
    firstByBaseName.clear();
    visitedFolders.clear();
}

void SongIndex::build(const QString& songFolder, bool preferRmp,
                      const std::function<void()>& processEvents) {
    clear();
    if (songFolder.isEmpty()) {
        return;
    }
    walk(withTrailingSeparator(songFolder), preferRmp, processEvents);
    visitedFolders.clear();
}

void SongIndex::walk(const QString& folder, bool preferRmp,
                     const std::function<void()>& processEvents) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visitedFolders.contains(canonical)) {
        return;
    }
    visitedFolders.insert(canonical);

    const QDir dir(folder);
    if (!dir.isReadable()) {
        return;
    }
    QStringList names = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    sortNamesIgnoringCase(names);

    QStringList subfolders;
    QStringList preferred;
    QStringList other;
    const QString first = preferRmp ? QStringLiteral("rmp") : QStringLiteral("mp3");
    const QString second = preferRmp ? QStringLiteral("mp3") : QStringLiteral("rmp");
    for (const QString& name : names) {
        const QFileInfo info(folder + name);
        if (info.isDir()) {
            if (!name.startsWith(u'.')) {
                subfolders.append(name);
            }
            continue;
        }
        if (!info.isFile()) {
            continue;
        }
        const QString extension = extensionOf(name).toLower();
        if (extension == first) {
            preferred.append(name);
        } else if (extension == second) {
            other.append(name);
        }
    }

    for (const QStringList* group : {&preferred, &other}) {
        for (const QString& name : *group) {
            if (processEvents) {
                processEvents();
            }
            const QString path = folder + name;
            // A later song of the same name never takes the place of the first one.
            const QString key = baseNameOf(name).toLower();
            if (!firstByBaseName.contains(key)) {
                firstByBaseName.insert(key, songs.size());
            }
            songs.append(path);
        }
    }
    for (const QString& name : subfolders) {
        if (processEvents) {
            processEvents();
        }
        walk(folder + name + pathSeparator(), preferRmp, processEvents);
    }
}

QString SongIndex::find(const QString& lyricsPath) const {
    const auto found = firstByBaseName.constFind(baseNameOf(lyricsPath).toLower());
    return found == firstByBaseName.constEnd() ? QString() : songs.at(*found);
}

} // namespace tavorin
