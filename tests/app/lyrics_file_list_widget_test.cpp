#include "app/lyrics_file_list_widget.h"
#include "app/other_settings_page.h"
#include "wizard_test_support.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>

namespace tavorin::test {
namespace {

// Sends a drop of these addresses as the desktop would, offering the given actions.
bool sendDrop(LyricsFileListWidget& list, const QList<QUrl>& urls, Qt::DropActions offered) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

QList<QUrl> files(const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

// The list's own rules (extensions, order, duplicates) have their table beside the list type;
// here: what a drop delivers reaches it, in the order shown, and only a copy of local files.
TEST(LyricsFileListWidgetTest, DropsAddLocalLyricsFilesInSortedOrderOnly) {
    LyricsFileListWidget list;
    list.addPath(QStringLiteral("/l/b.txt"));
    EXPECT_FALSE(sendDrop(list, files({QStringLiteral("/l/a.txt")}), Qt::MoveAction));
    EXPECT_TRUE(sendDrop(list,
                         files({QStringLiteral("/l/c.TXT"), QStringLiteral("/l/B.txt"),
                                QStringLiteral("/l/a.lrc"), QStringLiteral("/l/d.mp3")})
                             << QUrl(QStringLiteral("https://example.org/l/e.txt")),
                         Qt::CopyAction | Qt::MoveAction));
    const QStringList expected = {QStringLiteral("/l/a.lrc"), QStringLiteral("/l/b.txt"),
                                  QStringLiteral("/l/c.TXT")};
    EXPECT_EQ(list.entries(), expected);
    ASSERT_EQ(list.count(), expected.size());
    for (int row = 0; row < list.count(); ++row) {
        EXPECT_EQ(list.item(row)->text(), expected[row]);
    }
    QMimeData text;
    text.setText(QStringLiteral("/l/f.txt"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST(LyricsFileListWidgetTest, ScrollsSidewaysAsFarAsTheWidestPathSinceClearing) {
    LyricsFileListWidget list;
    list.resize(281, 130);
    list.show();
    const auto extentOf = [&](const QString& path) {
        return list.fontMetrics().horizontalAdvance(path) + 10;
    };
    const QString longPath = QStringLiteral("/music/%1.txt").arg(QString(60, QLatin1Char('x')));
    list.addPath(longPath);
    list.addPath(QStringLiteral("/a.txt"));
    EXPECT_EQ(list.horizontalExtent(), extentOf(longPath));
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), extentOf(longPath) - list.viewport()->width());

    list.clearFiles();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.entries().isEmpty());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    list.addPath(QStringLiteral("/b.txt"));
    EXPECT_EQ(list.horizontalExtent(), extentOf(QStringLiteral("/b.txt")));
}

// Thousands of paths wider than the list: the sideways bar must settle instead of being hidden
// by the view and shown again by the extent, a loop that used to overflow the stack.
TEST(LyricsFileListWidgetTest, ManyLongPathsSettleTheSidewaysBar) {
    for (const QSize size : {QSize(281, 130), QSize(300, 115), QSize(150, 60)}) {
        LyricsFileListWidget list;
        list.setFixedSize(size);
        list.show();
        for (int i = 0; i < 2000; ++i) {
            list.addPath(QStringLiteral("/home/user/karaoke/folder%1/lyrics%2.txt")
                             .arg(i / 100, 3, 10, QLatin1Char('0'))
                             .arg(i, 5, 10, QLatin1Char('0')));
            if (i % 250 == 0) {
                QApplication::processEvents();
            }
        }
        QApplication::processEvents();
        EXPECT_TRUE(list.horizontalScrollBar()->isVisible());
        EXPECT_EQ(list.horizontalScrollBar()->maximum(),
                  list.horizontalExtent() - list.viewport()->width());
    }
}

// Cancel empties the Song Folder; a chosen folder loses trailing NULs and gains one separator.
TEST(SongFolderTest, ClickingTheLabelAsksForTheFolder) {
    const std::pair<QString, QString> cases[] = {
        {QString(), QString()},
        {QStringLiteral("/srv/songs") + QString(3, QChar(0)), QStringLiteral("/srv/songs/")},
    };
    for (const auto& [answer, expected] : cases) {
        FakeShellServices shell;
        shell.folderAnswer = answer;
        OtherSettingsPage page(shell);
        page.show();
        page.lblSongFolder->setText(QStringLiteral("/before/"));
        QTest::mouseClick(page.lblSongFolder, Qt::LeftButton);
        EXPECT_EQ(shell.folderTitles.size(), 1);
        EXPECT_EQ(page.lblSongFolder->text(), expected);
    }
}

} // namespace
} // namespace tavorin::test
