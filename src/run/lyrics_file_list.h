#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace tavorin {

// The lyrics files of one run: only "txt", "lrc" and "kra" files, each once (ignoring letter
// case), kept in ascending order ignoring letter case. A run handles them in that order.
class LyricsFileList {
public:
    // The extension after the file name's last ".", in any letter case.
    static bool isLyricsFileName(const QString& path);

    // Adds the path at its sorted place; false when it is no lyrics file or already listed.
    bool add(const QString& path);
    void clear();

    const QStringList& entries() const { return list; }
    qsizetype size() const { return list.size(); }
    bool isEmpty() const { return list.isEmpty(); }

private:
    QStringList list;
    QSet<QString> loweredEntries; // a path equal to an entry ignoring case is a duplicate
};

} // namespace tavorin
