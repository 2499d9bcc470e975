#pragma once

#include "run/lyrics_file_list.h"

#include <QListWidget>
#include <QStringList>

class QLabel;
class QMimeData;

namespace tavorin {

// The list of lyrics files (list1): filled only by dropping files from the desktop's file
// manager, scrollable sideways far enough to read the longest path.
class LyricsFileListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit LyricsFileListWidget(QWidget* parent = nullptr);

    // The drop effect allowed for drag data offering these actions: copy, and only for a file
    // list that offers copy.
    static Qt::DropAction allowedDropAction(const QMimeData* dragData, Qt::DropActions offered);
    // Adds each local file of a file-list drop in the order delivered; other data is ignored.
    // Lyrics files whose names are not UTF-8 cannot be added: unreadableFilesDropped names
    // them, once per drop.
    void dropFiles(const QMimeData* dragData);
    // One path as the file manager delivered it; false when skipped.
    bool addPath(const QString& path);
    void clearFiles();

    const QStringList& entries() const { return files.entries(); }
    // The width in pixels over which the list scrolls sideways: 0 at start, 1 after clearing.
    int horizontalExtent() const { return extent; }

signals:
    // The lyrics files of one drop left out because their names are not UTF-8, each path
    // with those bytes shown escaped.
    void unreadableFilesDropped(const QStringList& shownPaths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void updateGeometries() override;

private:
    void trackWidth(const QString& path);

    LyricsFileList files;
    int extent = 0;
    // The text rulers: a candidate path, and the widest path added since the last clearing.
    QLabel* lblTest0;
    QLabel* lblTest1;
};

// The message box text for lyrics files left out of a drop for their names.
QString unreadableFilesMessage(const QStringList& shownPaths);

} // namespace tavorin
