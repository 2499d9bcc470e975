#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/other_settings_page.h"
#include "wizard_test_support.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>

namespace tavorin::test {
namespace {

// Sends a drop as the desktop would: addresses, or else a text, offering the given actions.
bool sendDrop(LyricsFileListWidget& list, const QStringList& urls, Qt::DropActions offered,
              const QString& text = {}) {
    QMimeData data;
    text.isEmpty() ? data.setUrls(QUrl::fromStringList(urls)) : data.setText(text);
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) {
        QCoreApplication::sendEvent(list.viewport(), &drop);
    }
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// The list's own rules (extensions, order, duplicates) have their table beside the list type;
// here: what a drop delivers reaches it, in the order shown, and only a copy of local files.
TEST(LyricsFileListWidgetTest, DropsAddLocalLyricsFilesInSortedOrderOnly) {
    LyricsFileListWidget list;
    list.addPath(QStringLiteral("/l/b.txt"));
    EXPECT_FALSE(sendDrop(list, {QStringLiteral("file:///l/a.txt")}, Qt::MoveAction));
    EXPECT_FALSE(sendDrop(list, {}, Qt::CopyAction, QStringLiteral("/l/a.txt")));
    EXPECT_TRUE(sendDrop(list,
                         {QStringLiteral("file:///l/c.TXT"), QStringLiteral("file:///l/B.txt"),
                          QStringLiteral("https://example.org/l/e.txt"),
                          QStringLiteral("file:///l/a.lrc"), QStringLiteral("file:///l/d.mp3")},
                         Qt::CopyAction | Qt::MoveAction));
    const QStringList expected = {QStringLiteral("/l/a.lrc"), QStringLiteral("/l/b.txt"),
                                  QStringLiteral("/l/c.TXT")};
    EXPECT_EQ(list.entries(), expected);
    ASSERT_EQ(list.count(), expected.size());
    for (int row = 0; row < list.count(); ++row) {
        EXPECT_EQ(list.item(row)->text(), expected[row]);
    }
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

// The file manager sends a name that is not UTF-8 (a Shift-JIS name from an old archive)
// percent-encoded byte for byte. Such a lyrics file cannot be added: one message box per drop
// names each one by its bytes; other files with such names are skipped as ever.
TEST(LyricsFileListWidgetTest, ADropNamesTheLyricsFilesWhoseNamesAreNotUtf8) {
    WizardFixture wizard;
    FormMain& form = wizard.open();
    LyricsFileListWidget& list = *form.lyricsFilesPage->list1;
    const auto drop = [&](const QStringList& encodedUrls) {
        EXPECT_TRUE(sendDrop(list, encodedUrls, Qt::CopyAction));
    };

    drop({QStringLiteral("file:///L/a%FFb.txt"), QStringLiteral("file:///L/%E6%AD%8C.txt"),
          QStringLiteral("file:///L/a%FFb.mp3"), QStringLiteral("file:///L/%89%CC.LRC"),
          QStringLiteral("file:///L/a%FFb.txt")});
    EXPECT_EQ(list.entries(), QStringList{QStringLiteral("/L/歌.txt")});
    EXPECT_EQ(wizard.shell.messages,
              QStringList{QStringLiteral("次の歌詞ファイルは名前が UTF-8 ではないので読めません。"
                                         "名前を付け直してから、もう一度ドロップしてください。\n"
                                         "\n/L/a\\xffb.txt\n/L/\\x89\\xcc.LRC")});

    wizard.shell.messages.clear();
    QStringList many;
    for (int i = 0; i < 12; ++i) {
        many.append(QStringLiteral("file:///M/%1%FF.kra").arg(i, 2, 10, QLatin1Char('0')));
    }
    drop(many);
    ASSERT_EQ(wizard.shell.messages.size(), 1);
    const QString& message = wizard.shell.messages.constFirst();
    EXPECT_TRUE(message.contains(QStringLiteral("\n/M/09\\xff.kra\nほか 2 件")))
        << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("/M/10"))) << message.toStdString();
    EXPECT_EQ(list.entries().size(), 1);
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
        EXPECT_EQ(page.lblSongFolder->text(), expected);
    }
}

} // namespace
} // namespace tavorin::test
