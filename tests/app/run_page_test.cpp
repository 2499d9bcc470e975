#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/other_settings_page.h"
#include "app/run_page.h"
#include "run/run_driver.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"
#include "wizard_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

namespace tavorin::test {
namespace {

using tavorin::testing::RecordingHost; // the Run Log as tavorin-cli would see it

const QByteArray lyricsText = "[00:01:00]one\r\n[00:02:50]two\r\n[00:04:00]three\r\n";

// Lyrics files beside a real song of the same name, one per name.
QStringList makeLyricsWithSongs(const QString& folder, const QStringList& names) {
    QStringList paths;
    const QString song = QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/shine_1000ms.mp3");
    for (const QString& name : names) {
        const QString lyrics = QDir(folder).filePath(name + QStringLiteral(".txt"));
        EXPECT_TRUE(tavorin::testing::writeBytes(lyrics, lyricsText));
        EXPECT_TRUE(QFile::copy(song, QDir(folder).filePath(name + QStringLiteral(".mp3"))));
        paths.append(QDir::toNativeSeparators(lyrics));
    }
    return paths;
}

// Fails the test when the file is gone: a run must never lose a lyrics file.
QByteArray contentOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class RunPageTest : public ::testing::Test {
protected:
    // Fills the list and walks to the Run page.
    FormMain& openRunPage(const QStringList& lyricsFiles) {
        FormMain& form = fixture.open();
        form.show();
        button(form, "com0to1")->click();
        for (const QString& path : lyricsFiles) {
            form.lyricsFilesPage->list1->addPath(path);
        }
        button(form, "com1to2")->click();
        button(form, "com2to3")->click();
        form.otherSettingsPage->txtName->setText(QStringLiteral("Tester"));
        button(form, "com3to4")->click();
        EXPECT_EQ(form.currentPage(), 4);
        return form;
    }
    static QPushButton* button(const FormMain& form, const char* name) {
        return form.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    QTemporaryDir songs;
    TaglibPlaybackEngine engine;
    WizardFixture fixture{&engine};
};

TEST_F(RunPageTest, CompleteRunLogsLikeTheCommandLineAndEndsFinished) {
    const QStringList names = {QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
    const QStringList files = makeLyricsWithSongs(songs.path(), names);
    FormMain& form = openRunPage(files);
    RunPage& page = *form.runPage;

    page.com4->click();

    // The same files, handled by the run driver alone in a folder of their own.
    QTemporaryDir reference;
    const QStringList referenceFiles = makeLyricsWithSongs(reference.path(), names);
    RecordingHost host;
    QStringList referenceList = form.lyricsFilesPage->list1->entries();
    referenceList.replaceInStrings(QDir::toNativeSeparators(songs.path()),
                                   QDir::toNativeSeparators(reference.path()));
    RunDriver(host, engine).run(referenceList, form.wizardSettings());
    QString expected = host.log;
    expected.replace(QDir::toNativeSeparators(reference.path()),
                     QDir::toNativeSeparators(songs.path()));
    EXPECT_EQ(page.runLog(), expected);
    EXPECT_TRUE(page.runLog().startsWith(QStringLiteral("新規追加開始\r\n\r\n")));
    EXPECT_TRUE(page.runLog().endsWith(QStringLiteral("処理終了\r\n")));
    // Files run in list order: a, b, c.
    const qsizetype a = page.runLog().indexOf(files[1]);
    const qsizetype b = page.runLog().indexOf(files[2]);
    const qsizetype c = page.runLog().indexOf(files[0]);
    EXPECT_TRUE(a >= 0 && a < b && b < c) << page.runLog().toStdString();
    EXPECT_NE(contentOf(files[0]), lyricsText);

    // What the text box shows is the log, line by line.
    QString shownLog = page.runLog();
    shownLog.remove(QLatin1Char('\r'));
    EXPECT_EQ(page.txtLog->toPlainText(), shownLog);

    EXPECT_EQ(page.com4->text(), QStringLiteral("終了"));
    EXPECT_TRUE(page.com4Copy->isEnabled());
    EXPECT_FALSE(page.com4to3->isEnabled());
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("終了しました。"));
    EXPECT_EQ(page.pb->value(), 3);
    EXPECT_EQ(page.pb->maximum(), 3);
    EXPECT_FALSE(form.isRunning());

    page.com4Copy->click();
    EXPECT_EQ(QApplication::clipboard()->text(), page.runLog());

    // "終了" ends the program, saving the settings.
    page.com4->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(fixture.reopenStore()->value(QStringLiteral("Init/Name")).toString(),
              QStringLiteral("Tester"));
}

TEST_F(RunPageTest, AbortDuringTheThirdFileStopsBeforeTheFourth) {
    const QStringList files = makeLyricsWithSongs(
        songs.path(), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                       QStringLiteral("4"), QStringLiteral("5")});
    FormMain& form = openRunPage(files);
    RunPage& page = *form.runPage;
    bool captionWhilePressed = false;
    // The third file starts with two done; the click reaches the window with the next events.
    QObject::connect(page.pb, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value == 2) {
            QTimer::singleShot(0, &form, [&] {
                captionWhilePressed = page.com4->text() == QStringLiteral("中断");
                page.com4->click();
            });
        }
    });

    page.com4->click();

    EXPECT_TRUE(captionWhilePressed);
    EXPECT_NE(contentOf(files[2]), lyricsText);
    EXPECT_EQ(contentOf(files[3]), lyricsText);
    EXPECT_EQ(contentOf(files[4]), lyricsText);
    EXPECT_FALSE(page.runLog().contains(files[3]));
    EXPECT_TRUE(page.runLog().endsWith(QStringLiteral("処理中断\r\n")));
    EXPECT_EQ(form.stepPanelText(), QStringLiteral("中断しました。"));
    EXPECT_LT(page.pb->value(), page.pb->maximum());
    EXPECT_EQ(page.com4->text(), QStringLiteral("終了"));
    EXPECT_FALSE(page.com4to3->isEnabled());
}

TEST_F(RunPageTest, ClosingIsRefusedWhileRunning) {
    const QStringList files = makeLyricsWithSongs(
        songs.path(), {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
    FormMain& form = openRunPage(files);
    RunPage& page = *form.runPage;
    std::optional<bool> closedDuringRun;
    QObject::connect(page.pb, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value == 1 && !closedDuringRun) {
            QTimer::singleShot(0, &form, [&] { closedDuringRun = form.close(); });
        }
    });

    page.com4->click();

    ASSERT_TRUE(closedDuringRun.has_value());
    EXPECT_FALSE(*closedDuringRun);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(page.runLog().endsWith(QStringLiteral("処理終了\r\n")));
    EXPECT_NE(contentOf(files[2]), lyricsText);
    // A refused close saves nothing.
    EXPECT_FALSE(QFile::exists(fixture.settingsPath));
}

#ifdef Q_OS_UNIX
// A song beside a lyrics file whose song is missing, named in Shift-JIS: no name can reach it,
// so the wizard says so once the run is over, and the Run Log stays as it is.
TEST_F(RunPageTest, SongsWhoseNamesAreNotUtf8AreNamedAfterTheRun) {
    const QStringList files = makeLyricsWithSongs(songs.path(), {QStringLiteral("a")});
    const QString lyrics = songs.filePath(QStringLiteral("b.txt"));
    ASSERT_TRUE(tavorin::testing::writeBytes(lyrics, lyricsText));
    const std::string song = QFile::encodeName(songs.path()).toStdString() + "/\x89\xcc.mp3";
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVORIN_TEST_DATA_DIR "/songs/shine_1000ms.mp3"),
                            songs.filePath(QStringLiteral("copy"))));
    std::filesystem::rename(QFile::encodeName(songs.filePath(QStringLiteral("copy"))).toStdString(),
                            song);
    FormMain& form = openRunPage(files + QStringList{lyrics});

    form.runPage->com4->click();

    EXPECT_EQ(fixture.shell.messages,
              QStringList{QStringLiteral("次のファイルは名前が UTF-8 ではないので使えませんでした。"
                                         "名前を付け直してから、もう一度実行してください。\n\n"
                                         "ファイル名が UTF-8 ではないので曲として探せません: ") +
                          songs.filePath(QStringLiteral("\\x89\\xcc.mp3"))});
    EXPECT_FALSE(form.runPage->runLog().contains(QStringLiteral("UTF-8")));
    std::filesystem::remove(song);
}
#endif

TEST_F(RunPageTest, RunPageIsResetEachTimeItIsEntered) {
    const QStringList files = makeLyricsWithSongs(songs.path(), {QStringLiteral("only")});
    FormMain& form = openRunPage(files);
    RunPage& page = *form.runPage;
    page.appendLog(QStringLiteral("left over\r\n"));
    page.pb->setValue(1);
    button(form, "com4to3")->click();
    form.lyricsFilesPage->list1->addPath(QStringLiteral("/elsewhere/z.lrc"));
    button(form, "com3to4")->click();
    EXPECT_TRUE(page.runLog().isEmpty());
    EXPECT_TRUE(page.txtLog->toPlainText().isEmpty());
    EXPECT_EQ(page.pb->value(), 0);
    EXPECT_EQ(page.pb->maximum(), 2);
}

} // namespace
} // namespace tavorin::test
