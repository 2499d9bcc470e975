#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace tavorin {

// The path made absolute against the current folder, without resolving links.
QString absoluteCliPath(const QString& path);

struct CollectedLyricsFiles {
    QStringList files;    // absolute, following the lyrics file list's rules
    QStringList warnings; // for standard error
    int passedOver = 0;   // lyrics files and folders whose names are not UTF-8
};

// The lyrics files the paths name: a folder adds every lyrics file below it. Paths that are no
// lyrics files are reported in warnings, and so is every lyrics file or folder that cannot be
// taken because its name is not UTF-8, whether named (in unreadablePaths) or found in a folder.
CollectedLyricsFiles collectLyricsFiles(const QStringList& paths,
                                        const QSet<QString>& unreadablePaths = {});

} // namespace tavorin
