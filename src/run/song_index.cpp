#include "run/song_index.h"

#include "shell/folder_listing.h"
#include "shell/path_utils.h"

#include <QDir>
#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>
#include <vector>

namespace tavorin {

namespace {

// Ascending ignoring letter case, ties in code unit order.
bool precedesIgnoringCase(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

// The base name of a path, as baseNameOf gives it, without copying: a path ending in the
// separator is taken whole.
QStringView baseNameView(const QString& path) {
    const QChar separator = pathSeparator();
    const QChar* const begin = path.constData();
    const QChar* end = begin + path.size();
    const QChar* start = end;
    while (start != begin && start[-1] != separator) {
        --start;
    }
    if (start == end) {
        start = begin;
    }
    for (const QChar* dot = end; dot != start;) {
        if (*--dot == u'.') {
            end = dot;
            break;
        }
    }
    return QStringView(start, end);
}

// A name in lower case, as QString::toLower makes it. The index makes one per song and one per
// lookup, so names of plain ASCII, the usual kind, are lowered into a buffer on the stack.
class LowerCaseName {
public:
    explicit LowerCaseName(QStringView name) {
        const bool ascii =
            std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (!ascii) {
            other = name.toString().toLower();
            text = other;
            return;
        }
        buffer.resize(name.size());
        for (qsizetype i = 0; i < name.size(); ++i) {
            const char16_t c = name[i].unicode();
            buffer[i] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
        }
        text = QStringView(buffer.constData(), buffer.size());
    }
    LowerCaseName(const LowerCaseName&) = delete;
    LowerCaseName& operator=(const LowerCaseName&) = delete;

    QStringView view() const { return text; }
    std::size_t hash() const { return qHash(text, 0); }

private:
    QVarLengthArray<char16_t, 128> buffer;
    QString other;
    QStringView text;
};

} // namespace

void sortNamesIgnoringCase(QStringList& names) {
    std::sort(names.begin(), names.end(), precedesIgnoringCase);
}

void SongIndex::clear() {
    songs.clear();
    firstByNameHash.clear();
    firstByCollidingName.clear();
    visitedFolders.clear();
}

void SongIndex::build(const QString& songFolder, bool preferRmp,
                      const std::function<void()>& processEvents) {
    clear();
    if (songFolder.isEmpty()) {
        return;
    }
    const QString folder = withTrailingSeparator(songFolder);
    walk(folder, QFileInfo(folder).canonicalFilePath(), preferRmp, processEvents);
    visitedFolders.clear();
}

void SongIndex::walk(const QString& folder, const QString& canonical, bool preferRmp,
                     const std::function<void()>& processEvents) {
    if (canonical.isEmpty() || visitedFolders.contains(canonical)) {
        return;
    }
    visitedFolders.insert(canonical);

    // The listing tells each entry's type, so a walk over a large Song Folder costs little
    // more than reading its folders.
    std::vector<FolderEntry> entries = listFolder(folder);
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return precedesIgnoringCase(a.name, b.name);
    });

    std::vector<const FolderEntry*> subfolders;
    QStringList preferred;
    QStringList other;
    const QLatin1StringView first(preferRmp ? ".rmp" : ".mp3");
    const QLatin1StringView second(preferRmp ? ".mp3" : ".rmp");
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) {
            if (!entry.name.startsWith(u'.')) {
                subfolders.push_back(&entry);
            }
            continue;
        }
        if (!entry.isFile) {
            continue;
        }
        if (entry.name.endsWith(first, Qt::CaseInsensitive)) {
            preferred.append(entry.name);
        } else if (entry.name.endsWith(second, Qt::CaseInsensitive)) {
            other.append(entry.name);
        }
    }

    for (const QStringList* group : {&preferred, &other}) {
        for (const QString& name : *group) {
            if (processEvents) {
                processEvents();
            }
            const QString path = folder + name;
            // A later song of the same name never takes the place of the first one.
            const LowerCaseName key(baseNameView(name));
            const auto known = firstByNameHash.constFind(key.hash());
            if (known == firstByNameHash.constEnd()) {
                firstByNameHash.insert(key.hash(), songs.size());
            } else if (LowerCaseName(baseNameView(songs.at(*known))).view() != key.view() &&
                       !firstByCollidingName.contains(key.view().toString())) {
                firstByCollidingName.insert(key.view().toString(), songs.size());
            }
            songs.append(path);
        }
    }
    for (const FolderEntry* subfolder : subfolders) {
        if (processEvents) {
            processEvents();
        }
        const QString path = folder + subfolder->name + pathSeparator();
        // Only a link can lead back to a folder already walked; any other folder's canonical
        // path is its parent's and its own name.
        walk(path,
             subfolder->isLink ? QFileInfo(path).canonicalFilePath()
                               : withTrailingSeparator(canonical) + subfolder->name,
             preferRmp, processEvents);
    }
}

QString SongIndex::find(const QString& lyricsPath) const {
    const LowerCaseName key(baseNameView(lyricsPath));
    const auto found = firstByNameHash.constFind(key.hash());
    if (found == firstByNameHash.constEnd()) {
        return {};
    }
    const QString& song = songs.at(*found);
    if (LowerCaseName(baseNameView(song)).view() == key.view()) {
        return song;
    }
    const auto colliding = firstByCollidingName.constFind(key.view().toString());
    return colliding == firstByCollidingName.constEnd() ? QString() : songs.at(*colliding);
}

} // namespace tavorin
