#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/other_settings_page.h"
#include "wizard_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include <memory>
#include <vector>

namespace tavorin::test {
namespace {

std::unique_ptr<QMimeData> fileDrop(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

// Sends a drop as the desktop would: at the list's viewport, offering the given actions.
bool sendDrop(LyricsFileListWidget& list, const QMimeData& data, Qt::DropActions offered) {
    const QPointF point(10, 10);
    QDragEnterEvent enter(point.toPoint(), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(point, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    return drop.isAccepted();
}

struct DropCase {
    const char* name;
    std::vector<const char*> alreadyListed;
    std::vector<const char*> dropped;
    std::vector<const char*> expected;
};

// Paths as the file manager delivers them on this platform.
QStringList nativePaths(const std::vector<const char*>& paths) {
    QStringList list;
    for (const char* path : paths) {
        list.append(QDir::toNativeSeparators(QString::fromUtf8(path)));
    }
    return list;
}

class LyricsFileDropTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(LyricsFileDropTest, KeepsLyricsFilesOnceInSortedOrder) {
    const DropCase& drop = GetParam();
    LyricsFileListWidget list;
    list.resize(281, 130);
    for (const QString& path : nativePaths(drop.alreadyListed)) {
        list.addPath(path);
    }
    const auto data = fileDrop(nativePaths(drop.dropped));
    EXPECT_TRUE(sendDrop(list, *data, Qt::CopyAction | Qt::MoveAction));

    const QStringList expected = nativePaths(drop.expected);
    EXPECT_EQ(list.entries(), expected);
    QStringList shown;
    for (int row = 0; row < list.count(); ++row) {
        shown.append(list.item(row)->text());
    }
    EXPECT_EQ(shown, expected);
}

const DropCase dropCases[] = {
    {"MixedExtensions",
     {},
     {"/lyrics/Song.TXT", "/lyrics/a.lrc", "/lyrics/b.kra", "/lyrics/c.mp3"},
     {"/lyrics/a.lrc", "/lyrics/b.kra", "/lyrics/Song.TXT"}},
    {"SortedAndDuplicatesOfListedEntriesInOtherCaseSkipped",
     {"/lyrics/song.TXT", "/l/b.txt"},
     {"/l/c.txt", "/Lyrics/Song.txt", "/l/A.txt", "/l/B2.txt"},
     {"/l/A.txt", "/l/b.txt", "/l/B2.txt", "/l/c.txt", "/lyrics/song.TXT"}},
    {"TwinsInOneDropKeepTheFirst",
     {},
     {"/l/Twin.txt", "/l/x.lrc", "/l/twin.TXT"},
     {"/l/Twin.txt", "/l/x.lrc"}},
};

INSTANTIATE_TEST_SUITE_P(Drops, LyricsFileDropTest, ::testing::ValuesIn(dropCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LyricsFileListWidgetTest, RefusesAnythingButACopyOfLocalFiles) {
    LyricsFileListWidget list;
    const auto files = fileDrop({QStringLiteral("/l/a.txt")});
    EXPECT_FALSE(sendDrop(list, *files, Qt::MoveAction));
    EXPECT_EQ(LyricsFileListWidget::allowedDropAction(files.get(), Qt::MoveAction | Qt::LinkAction),
              Qt::IgnoreAction);
    EXPECT_EQ(LyricsFileListWidget::allowedDropAction(files.get(), Qt::CopyAction | Qt::MoveAction),
              Qt::CopyAction);

    QMimeData text;
    text.setText(QStringLiteral("/l/a.txt"));
    EXPECT_FALSE(sendDrop(list, text, Qt::CopyAction));

    // A web address is no file of this machine.
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/l/b.txt")),
                    QUrl::fromLocalFile(QStringLiteral("/l/c.txt"))});
    EXPECT_TRUE(sendDrop(list, remote, Qt::CopyAction));
    EXPECT_EQ(list.entries(), QStringList{QDir::toNativeSeparators(QStringLiteral("/l/c.txt"))});
}

TEST(LyricsFileListWidgetTest, ScrollsSidewaysAsFarAsTheWidestPath) {
    LyricsFileListWidget list;
    list.resize(281, 130);
    list.show();
    const QFontMetrics metrics(list.font());
    EXPECT_EQ(list.horizontalExtent(), 0);
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);

    const QString longPath =
        QStringLiteral("/music/lyrics/") + QString(60, QLatin1Char('x')) + QStringLiteral(".txt");
    list.addPath(longPath);
    const int longExtent = metrics.horizontalAdvance(longPath) + 10;
    EXPECT_EQ(list.horizontalExtent(), longExtent);
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), longExtent - list.viewport()->width());

    // A shorter path never shrinks it.
    list.addPath(QStringLiteral("/a.txt"));
    EXPECT_EQ(list.horizontalExtent(), longExtent);

    list.clearFiles();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.entries().isEmpty());
    EXPECT_EQ(list.horizontalExtent(), 1);
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(list.findChild<QLabel*>(QStringLiteral("lblTest_1"))->text().isEmpty());

    // After clearing, even a short path sets the extent to its own width.
    const QString shortPath = QStringLiteral("/b.txt");
    list.addPath(shortPath);
    EXPECT_EQ(list.horizontalExtent(), metrics.horizontalAdvance(shortPath) + 10);
}

#ifdef Q_OS_UNIX
// The file manager sends a name that is not UTF-8 (a Shift-JIS name from an old archive)
// percent-encoded byte for byte. Such a lyrics file cannot be added: one message box per drop
// names each one by its bytes; other files with such names are skipped as ever.
TEST(LyricsFileListWidgetTest, ADropNamesTheLyricsFilesWhoseNamesAreNotUtf8) {
    WizardFixture wizard;
    FormMain& form = wizard.open();
    LyricsFileListWidget& list = *form.lyricsFilesPage->list1;
    const auto drop = [&](const QStringList& encodedUrls) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& url : encodedUrls) {
            urls.append(QUrl::fromEncoded(url.toLatin1()));
        }
        data->setUrls(urls);
        EXPECT_TRUE(sendDrop(list, *data, Qt::CopyAction));
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
#endif

// Cancel empties the Song Folder; a chosen folder loses trailing NULs and gains one separator
// (the path helpers' own table shows the separator cases).
TEST(SongFolderTest, ClickingTheLabelAsksForTheFolder) {
    const struct {
        const char* name;
        QString answer;
        QString expected;
    } cases[] = {
        {"cancel", QString(), QString()},
        {"trailing NULs", QStringLiteral("/srv/songs") + QString(3, QChar(0)),
         QStringLiteral("/srv/songs/")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeShellServices shell;
        OtherSettingsPage page(shell);
        page.show();
        page.lblSongFolder->setText(QStringLiteral("/before/"));
        shell.folderAnswers.push_back(c.answer);
        QTest::mouseClick(page.lblSongFolder, Qt::LeftButton);
        EXPECT_EQ(shell.folderTitles, QStringList{QStringLiteral("フォルダを選択してください")});
        EXPECT_EQ(page.lblSongFolder->text(), QDir::toNativeSeparators(c.expected));
    }
}

} // namespace
} // namespace tavorin::test
