#include "cli/lyrics_file_walk.h"

#include "run/lyrics_file_list.h"
#include "shell/folder_listing.h"
#include "shell/path_utils.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace tavorin {

namespace {

void addLyricsFile(LyricsFileList& list, const QString& path) {
    list.add(QDir::toNativeSeparators(path));
}

QString unreadableFileMessage(const QString& shownPath) {
    return QStringLiteral("ファイル名が UTF-8 ではないので読めません: ") + shownPath;
}

QString unreadableFolderMessage(const QString& shownPath) {
    return QStringLiteral("フォルダ名が UTF-8 ではないので開けません: ") + shownPath;
}

// The lyrics files in folder and below it, depth first in the order the file system lists
// them. Hidden files and folders are left out, and links to folders are not followed, so a
// link back up the tree cannot loop. The listing's own entry types spare a status query per
// file. A lyrics file or folder the walk would have taken but whose name is not UTF-8 is
// reported, never passed over in silence.
void addLyricsFilesBelow(CollectedLyricsFiles& collected, LyricsFileList& list,
                         const QString& folder) {
    const QString prefix = withTrailingSeparator(folder);
    std::vector<FolderEntry> unreadable;
    for (const FolderEntry& entry : listFolder(folder, unreadable)) {
        if (entry.name.startsWith(u'.')) {
            continue;
        }
        if (entry.isFolder && !entry.isLink) {
            addLyricsFilesBelow(collected, list, prefix + entry.name);
        } else if (entry.isFile && LyricsFileList::isLyricsFileName(entry.name)) {
            addLyricsFile(list, prefix + entry.name);
        }
    }
    for (const FolderEntry& entry : unreadable) {
        if (entry.name.startsWith(u'.')) {
            continue;
        }
        const QString shown = QDir::toNativeSeparators(prefix + entry.name);
        if (entry.isFolder && !entry.isLink) {
            collected.warnings.append(unreadableFolderMessage(shown));
            ++collected.passedOver;
        } else if (entry.isFile && LyricsFileList::isLyricsFileName(entry.name)) {
            collected.warnings.append(unreadableFileMessage(shown));
            ++collected.passedOver;
        }
    }
}

} // namespace

QString absoluteCliPath(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

CollectedLyricsFiles collectLyricsFiles(const QStringList& paths,
                                        const QSet<QString>& unreadablePaths) {
    CollectedLyricsFiles collected;
    LyricsFileList list;
    for (const QString& given : paths) {
        const QString path = absoluteCliPath(given);
        // A file or a folder: which one, only its bytes could tell.
        if (unreadablePaths.contains(given)) {
            collected.warnings.append(QStringLiteral("名前が UTF-8 ではないので開けません: ") +
                                      path);
            ++collected.passedOver;
            continue;
        }
        const QFileInfo info(path);
        if (info.isDir()) {
            addLyricsFilesBelow(collected, list, QDir::fromNativeSeparators(path));
        } else if (LyricsFileList::isLyricsFileName(path)) {
            addLyricsFile(list, path);
        } else {
            collected.warnings.append(QStringLiteral("歌詞ファイルではないので無視します: ") +
                                      path);
        }
    }
    collected.files = list.entries();
    return collected;
}

} // namespace tavorin
