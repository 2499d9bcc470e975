#include "shell/folder_listing.h"

#include "shell/file_name_bytes.h"

#include <QFile>

#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace tavorin {

namespace {

// Folder, file or neither, following a link; for entries whose type the listing leaves open.
void typeFromStat(int folderHandle, const char* name, FolderEntry& entry) {
    struct stat facts {};
    if (::fstatat(folderHandle, name, &facts, 0) == 0) {
        entry.isFolder = S_ISDIR(facts.st_mode);
        entry.isFile = S_ISREG(facts.st_mode);
    }
}

} // namespace

std::vector<FolderEntry> listFolder(const QString& folder, std::vector<FolderEntry>& unreadable) {
    std::vector<FolderEntry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(
        ::opendir(QFile::encodeName(folder).constData()), ::closedir);
    if (listing == nullptr) {
        return entries;
    }
    const int folderHandle = ::dirfd(listing.get());
    while (const dirent* item = ::readdir(listing.get())) {
        const char* name = item->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        FolderEntry entry;
        // A name that is not UTF-8 decodes with replacement characters into a name that no
        // file has: nothing could open it, so it goes to the caller's report instead.
        const bool readable = isReadableName(name);
        entry.name = readable ? QFile::decodeName(name) : escapedName(name);
        switch (item->d_type) {
        case DT_DIR:
            entry.isFolder = true;
            break;
        case DT_REG:
            entry.isFile = true;
            break;
        case DT_LNK:
            entry.isLink = true;
            typeFromStat(folderHandle, name, entry);
            break;
        case DT_UNKNOWN: {
            struct stat facts {};
            if (::fstatat(folderHandle, name, &facts, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(facts.st_mode)) {
                entry.isLink = true;
            }
            typeFromStat(folderHandle, name, entry);
            break;
        }
        default: // pipes, sockets, devices
            break;
        }
        (readable ? entries : unreadable).push_back(std::move(entry));
    }
    return entries;
}

std::vector<FolderEntry> listFolder(const QString& folder) {
    std::vector<FolderEntry> unreadable;
    return listFolder(folder, unreadable);
}

} // namespace tavorin
