#include "app/lyrics_file_list_widget.h"

#include "app/wizard_texts.h"
#include "shell/file_name_bytes.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

namespace tavorin {

namespace {

int textWidth(const QLabel* ruler) {
    return ruler->fontMetrics().horizontalAdvance(ruler->text());
}

// The local file's name as the file system holds it. The file manager sends it percent-encoded,
// byte for byte; decoding it into text (toLocalFile) turns bytes that are not UTF-8 into
// replacement characters and loses them.
QByteArray localFileBytes(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

} // namespace

LyricsFileListWidget::LyricsFileListWidget(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("list1"));
    setToolTip(QStringLiteral("処理したい歌詞ファイルをエクスプローラなどからすべてここへＤ&Ｄし"
                              "てください。"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    lblTest0 = new QLabel(this);
    lblTest0->setObjectName(QStringLiteral("lblTest_0"));
    lblTest0->hide();
    lblTest1 = new QLabel(this);
    lblTest1->setObjectName(QStringLiteral("lblTest_1"));
    lblTest1->hide();
}

Qt::DropAction LyricsFileListWidget::allowedDropAction(const QMimeData* dragData,
                                                       Qt::DropActions offered) {
    if (dragData == nullptr || !dragData->hasUrls() || !offered.testFlag(Qt::CopyAction)) {
        return Qt::IgnoreAction;
    }
    return Qt::CopyAction;
}

void LyricsFileListWidget::dropFiles(const QMimeData* dragData) {
    if (dragData == nullptr || !dragData->hasUrls()) {
        return;
    }
    QStringList unreadable;
    for (const QUrl& url : dragData->urls()) {
        // Only files of this machine can be rewritten in place.
        if (!url.isLocalFile()) {
            continue;
        }
        const QByteArray bytes = localFileBytes(url);
        if (isReadableName(bytes)) {
            addPath(QDir::toNativeSeparators(url.toLocalFile()));
            continue;
        }
        // Other files are skipped without a word, whatever their names.
        const QString shown = QDir::toNativeSeparators(escapedName(bytes));
        if (LyricsFileList::isLyricsFileName(shown) && !unreadable.contains(shown)) {
            unreadable.append(shown);
        }
    }
    if (!unreadable.isEmpty()) {
        emit unreadableFilesDropped(unreadable);
    }
}

QString unreadableFilesMessage(const QStringList& shownPaths) {
    return messageWithLines(QStringLiteral("次の歌詞ファイルは名前が UTF-8 ではないので読めません。"
                                           "名前を付け直してから、もう一度ドロップしてください。"),
                            shownPaths);
}

bool LyricsFileListWidget::addPath(const QString& path) {
    if (!files.add(path)) {
        return false;
    }
    trackWidth(path);
    insertItem(static_cast<int>(files.entries().indexOf(path)), path);
    return true;
}

void LyricsFileListWidget::clearFiles() {
    files.clear();
    clear();
    extent = 1;
    lblTest1->clear();
    updateGeometries();
}

void LyricsFileListWidget::trackWidth(const QString& path) {
    lblTest0->setText(path);
    const int width = textWidth(lblTest0);
    if (width > textWidth(lblTest1)) {
        extent = width + 10;
        lblTest1->setText(path);
        updateGeometries();
    }
}

void LyricsFileListWidget::dragEnterEvent(QDragEnterEvent* event) {
    // Entering is a move onto the list: the same answer.
    dragMoveEvent(event);
}

void LyricsFileListWidget::dragMoveEvent(QDragMoveEvent* event) {
    const Qt::DropAction action = allowedDropAction(event->mimeData(), event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void LyricsFileListWidget::dropEvent(QDropEvent* event) {
    if (allowedDropAction(event->mimeData(), event->possibleActions()) == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    dropFiles(event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void LyricsFileListWidget::updateGeometries() {
    QListWidget::updateGeometries();
    // Once the paths are wider than the view the sideways bar stays: a bar that the view hides
    // and the extent shows again would resize the view, which lays itself out again, without end
    // (a long list of long paths overflowed the stack this way).
    const Qt::ScrollBarPolicy policy =
        extent > viewport()->width() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    if (horizontalScrollBarPolicy() != policy) {
        setHorizontalScrollBarPolicy(policy);
    }
    // The sideways extent is the widest path measured, not what the view would compute.
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(0, extent - viewport()->width()));
    bar->setPageStep(viewport()->width());
}

} // namespace tavorin
