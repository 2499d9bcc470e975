#pragma once

#include <QString>

#include <vector>

namespace tavorin {

// One entry of a folder, its type taken from the listing itself where the file system gives
// it, so a walk over a large tree asks the disk about each entry only once.
struct FolderEntry {
    QString name;
    bool isFolder = false; // a folder, or a link to one
    bool isFile = false;   // a regular file, or a link to one
    bool isLink = false;
};

// The entries of a folder except "." and "..", in the order the file system returns them,
// hidden ones included; empty when the folder cannot be read. Entries whose names are not
// UTF-8 are left out: no text names them (shell/file_name_bytes.h).
std::vector<FolderEntry> listFolder(const QString& folder);
// The same, and the entries left out for their names in unreadable, each with its name shown
// escaped, for a report only: that text names no file.
std::vector<FolderEntry> listFolder(const QString& folder, std::vector<FolderEntry>& unreadable);

} // namespace tavorin
