#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/run_page.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"
#include "wizard_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

#include <filesystem>

namespace tavorin::test {
namespace {

using tavorin::testing::readBytes;

// Files run in list order; "中断" reaches the window between files: the file being handled is
// finished and no later one is touched. A close attempt meanwhile is refused without saving.
TEST(RunPageTest, RunInListOrderAbortsBetweenFilesAndEndsWithTheLog) {
    const QByteArray lyricsText = "[00:01:00]one\r\n[00:02:50]two\r\n[00:04:00]three\r\n";
    TaglibPlaybackEngine engine;
    WizardFixture fixture(&engine);
    FormMain& form = fixture.open();
    click(form, "com0to1");
    QStringList files; // dropped as 3, 1, 2, 5, 4
    for (const char* name : {"3", "1", "2", "5", "4"}) {
        const QString stem = fixture.folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(tavorin::testing::writeBytes(stem + QStringLiteral(".txt"), lyricsText));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/shine_1000ms.mp3"),
                                stem + QStringLiteral(".mp3")));
        files.append(stem + QStringLiteral(".txt"));
        form.lyricsFilesPage->list1->addPath(files.last());
    }
    click(form, "com1to2");
    click(form, "com2to3");
    control<QLineEdit>(form, "txtName")->setText(QStringLiteral("Tester"));
    click(form, "com3to4");
    RunPage& page = *form.runPage;
    std::optional<bool> closed;
    // Handled with the events of the run, when the progress bar reaches the value.
    QObject::connect(page.pb, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value == 1) {
            QTimer::singleShot(0, &form, [&] { closed = form.close(); });
        } else if (value == 2) {
            QTimer::singleShot(0, &form, [&] { click(form, "com4"); });
        }
    });
    click(form, "com4");

    EXPECT_EQ(closed, false);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(QFile::exists(fixture.settingsPath));
    const QString log = page.runLog();
    EXPECT_TRUE(log.indexOf(files[1]) >= 0 && log.indexOf(files[1]) < log.indexOf(files[2]) &&
                log.indexOf(files[2]) < log.indexOf(files[0]))
        << log.toStdString();
    EXPECT_NE(readBytes(files[0]), lyricsText);
    EXPECT_EQ(readBytes(files[3]), lyricsText);
    EXPECT_EQ(readBytes(files[4]), lyricsText);
    EXPECT_FALSE(log.contains(files[4]));
    EXPECT_TRUE(log.endsWith(QStringLiteral("処理中断\r\n")));
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("中断しました。"));
    EXPECT_FALSE(form.isRunning());
    QString shownLog = log;
    EXPECT_EQ(page.txtLog->toPlainText(), shownLog.remove(QLatin1Char('\r')));

    // After the run: no way back, the log can be copied, "終了" ends the program and saves.
    EXPECT_FALSE(page.com4to3->isEnabled());
    click(form, "com4Copy");
    EXPECT_EQ(QApplication::clipboard()->text(), log);
    click(form, "com4");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(fixture.reopenStore()->value(QStringLiteral("Init/Name")), QStringLiteral("Tester"));
}

// A song beside a lyrics file whose song is missing, named in Shift-JIS: no name can reach it,
// so the wizard says so once the run is over, and the Run Log stays as it is.
TEST(RunPageTest, SongsWhoseNamesAreNotUtf8AreNamedAfterTheRun) {
    TaglibPlaybackEngine engine;
    WizardFixture fixture(&engine);
    const QString lyrics = fixture.folder.filePath(QStringLiteral("b.txt"));
    ASSERT_TRUE(tavorin::testing::writeBytes(lyrics, "[00:01:00]one\r\n"));
    const QString copy = fixture.folder.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/shine_1000ms.mp3"), copy));
    const std::string song = QFile::encodeName(fixture.folder.path()).toStdString() + "/\x89\xcc.mp3";
    std::filesystem::rename(QFile::encodeName(copy).toStdString(), song);
    FormMain& form = fixture.open();
    click(form, "com0to1");
    form.lyricsFilesPage->list1->addPath(lyrics);
    click(form, "com1to2");
    click(form, "com2to3");
    control<QLineEdit>(form, "txtName")->setText(QStringLiteral("Tester"));
    click(form, "com3to4");
    click(form, "com4");

    EXPECT_EQ(fixture.shell.messages,
              QStringList{QStringLiteral("次のファイルは名前が UTF-8 ではないので使えませんでした。"
                                         "名前を付け直してから、もう一度実行してください。\n\n"
                                         "ファイル名が UTF-8 ではないので曲として探せません: ") +
                          fixture.folder.filePath(QStringLiteral("\\x89\\xcc.mp3"))});
    EXPECT_FALSE(form.runPage->runLog().contains(QStringLiteral("UTF-8")));
    std::filesystem::remove(song);
}

} // namespace
} // namespace tavorin::test
