#include "run/song_index.h"

#include "run/name_order.h"
#include "shell/folder_listing.h"
#include "shell/path_utils.h"

#include <QDir>
#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>
#include <vector>

namespace tavorin {

namespace {

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

private:
    QVarLengthArray<char16_t, 128> buffer;
    QString other;
    QStringView text;
};

} // namespace

bool isSongFileName(const QString& name) {
    return name.endsWith(u".mp3", Qt::CaseInsensitive) ||
           name.endsWith(u".rmp", Qt::CaseInsensitive);
}

void SongIndex::clear() {
    songs.clear();
    unreadableNames.clear();
    firstByName.clear();
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
    // Filled once the walk is done, with room for every song, so the table never rehashes while
    // a large Song Folder is read. Kept at most half full, so a lookup of a name that is not
    // there (most lyrics files have their song beside them) seldom walks a chain of nodes.
    firstByName.max_load_factor(0.5F);
    firstByName.reserve(static_cast<std::size_t>(songs.size()));
    for (qsizetype i = 0; i < songs.size(); ++i) {
        // A later song of the same name never takes the place of the first one.
        firstByName.try_emplace(LowerCaseName(baseNameView(songs.at(i))).view().toString(), i);
    }
}

void SongIndex::walk(const QString& folder, const QString& canonical, bool preferRmp,
                     const std::function<void()>& processEvents) {
    if (canonical.isEmpty() || visitedFolders.contains(canonical)) {
        return;
    }
    visitedFolders.insert(canonical);

    // The listing tells each entry's type, so a walk over a large Song Folder costs little
    // more than reading its folders.
    std::vector<FolderEntry> unreadable;
    std::vector<FolderEntry> entries = listFolder(folder, unreadable);
    const auto byName = [](const FolderEntry& a, const FolderEntry& b) {
        return precedesIgnoringCase(a.name, b.name);
    };
    std::sort(entries.begin(), entries.end(), byName);
    std::sort(unreadable.begin(), unreadable.end(), byName);

    std::vector<const FolderEntry*> subfolders;
    QStringList preferred;
    QStringList other;
    const QLatin1StringView first(preferRmp ? ".rmp" : ".mp3");
    const QLatin1StringView second(preferRmp ? ".mp3" : ".rmp");
    for (const FolderEntry& entry : unreadable) {
        if (entry.isFolder && !entry.name.startsWith(u'.')) {
            unreadableNames.append(folder + entry.name + pathSeparator());
        } else if (entry.isFile && isSongFileName(entry.name)) {
            unreadableNames.append(folder + entry.name);
        }
    }
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
    const auto found = firstByName.find(LowerCaseName(baseNameView(lyricsPath)).view());
    return found == firstByName.end() ? QString() : songs.at(found->second);
}

} // namespace tavorin
