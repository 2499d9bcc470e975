#include "app/form_about.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/qt_translation.h"
#include "app/quick_help_path.h"
#include "app/run_page.h"
#include "app/single_instance_lock.h"
#include "run/run_test_support.h"
#include "song/taglib_playback_engine.h"
#include "tavorin/install_layout.h"
#include "wizard_test_support.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextLayout>
#include <QTimer>

#include <filesystem>

namespace tavorin::test {
namespace {

using tavorin::testing::writeBytes;
using namespace Qt::StringLiterals;

// The page shown, the mode panel, and on top exactly while files are dragged onto the list.
// The real engine, with a hook that acts during a run, between its files.
struct SteppingEngine : TaglibPlaybackEngine {
    std::function<void()> afterRead;
    SongFacts readSong(BlockFile& song) override {
        const SongFacts facts = TaglibPlaybackEngine::readSong(song);
        afterRead ? afterRead() : void();
        return facts;
    }
};

void expectStep(const FormMain& form, int page, const QString& modePanel) {
    EXPECT_EQ(std::tuple(form.currentPage(), form.modePanelText(), form.isTopmost()),
              std::tuple(page, modePanel, page == 1));
}

// Drops addresses (joined by '|') as the desktop would; true when the list takes them as a copy.
bool drop(LyricsFileListWidget& list, const QString& urls, Qt::DropActions offered) {
    QMimeData data;
    data.setUrls(QUrl::fromStringList(urls.split(u'|')));
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(10, 10), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &enter);
    return enter.isAccepted() && QCoreApplication::sendEvent(list.viewport(), &drop) &&
           drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

class WizardWalkTest : public ::testing::TestWithParam<bool> {};

// Through every page and back, from the other mode stored by an earlier start, to a run: what
// each step refuses, stores and drops, how "中断" stops the run, and what is saved at the end.
TEST_P(WizardWalkTest, EveryStepRefusesStoresAndDropsWhatItShouldAndAbortStopsTheRun) {
    const bool newMode = GetParam();
    const char* option = newMode ? "opt1_0" : "opt1_1";
    const char* skipBox = newMode ? "chkIgnoreAtTag" : "chkIgnoreOwn"; // in Frame22's place
    const QString mode = newMode ? u"補正データ新規追加"_s : u"補正変換"_s;
    const QByteArray lyrics = "[00:01:00]one\r\n[00:02:50]two\r\n";
    WizardFixture fixture;
    const QString folder = fixture.folder.path();
    // The song of 1 is missing; beside it lies a song no name can reach (a Shift-JIS name).
    const std::string shiftJisSong = QFile::encodeName(folder).toStdString() + "/\x89\xcc.mp3";
    QStringList files;
    for (int number = 1; number <= 4; ++number) {
        const QString stem = folder + u"/%1"_s.arg(number);
        files.append(stem + ".txt"_L1);
        ASSERT_TRUE(writeBytes(files.last(), lyrics));
        ASSERT_TRUE(std::filesystem::copy_file(TAVORIN_TEST_DATA_DIR "/songs/shine_1000ms.mp3",
                                               number == 1 ? shiftJisSong
                                                           : (stem + ".mp3"_L1).toStdString()));
    }
    fixture.store.setValue(u"Init/NewMode"_s, !newMode);
    fixture.store.setValue(u"Init/RMP"_s, u"1"_s);
    SteppingEngine engine;
    FormMain form({engine, fixture, fixture.store, folder, folder + "/runs"_L1});
    form.show();
    EXPECT_FALSE(control(form, option)->isChecked());
    ASSERT_TRUE(writeBytes(folder + u"/Tavorin補正Wizard.txt"_s, "help"));
    click(form, {"com1Help"});
    EXPECT_EQ(fixture.openedUrls, QList{QUrl::fromLocalFile(folder + u"/Tavorin補正Wizard.txt"_s)});
    click(form, {option, "com0to1", "com1to2"});
    expectStep(form, 1, mode);
    EXPECT_EQ(fixture.messages, QStringList{u"歌詞ファイルが登録されていません。"_s});
    // Only a copy of local files is taken; a lyrics file whose name is not UTF-8 (sent
    // percent-encoded byte for byte) is named by its bytes, other files of such names skipped.
    auto* list = control<LyricsFileListWidget>(form, "list1");
    const QString url = QUrl::fromLocalFile(files[0]).toString();
    EXPECT_FALSE(drop(*list, url, Qt::MoveAction));
    EXPECT_TRUE(drop(*list, url + u"|https://h/2.txt|file:///l/a%FFb.txt|file:///l/%FF.mp3"_s,
                     Qt::CopyAction | Qt::MoveAction));
    EXPECT_EQ(list->entries(), QStringList{files[0]});
    EXPECT_TRUE(fixture.messages.last().endsWith(u"\n\n/l/a\\xffb.txt"_s));
    click(form, {"com1to2"});

    // "戻る" drops what was changed here (Frame22 is only there in Correction Mode).
    const bool skipping = control(form, skipBox)->isChecked();
    click(form, {"opt2_1", newMode ? "opt2_1" : "opt22_1", skipBox, "com2to1", "com1to2"});
    expectStep(form, 2, mode);
    EXPECT_TRUE(control(form, "opt2_0")->isChecked() && control(form, "opt22_0")->isChecked());
    EXPECT_EQ(control(form, skipBox)->isChecked(), skipping);

    // The time type suffix follows the choice, never doubled. "戻る" from page 4 keeps what was
    // changed there; a chosen Song Folder loses trailing NULs and gains a separator.
    click(form, {"opt2_1", "com2to3"});
    expectStep(form, 3, mode + u":標準"_s);
    click(form, {"com3to2", "opt2_0", "com2to3", "chkAtArtist"});
    // The chooser opens at home without a Song Folder, then at the Song Folder.
    fixture.folderAnswer = folder + QString(3, QChar(0));
    for (const QString& start : {QDir::homePath(), folder + u'/'}) {
        QTest::mouseClick(control<QWidget>(form, "lblSongFolder"), Qt::LeftButton);
        EXPECT_EQ(fixture.chooserStart, start);
    }
    // An empty name keeps the page and stores nothing; a name of blanks is a name.
    click(form, {"com3to2", "com2to3", "chkSilencemSec", "com3to4"});
    EXPECT_EQ(fixture.messages.last(), u"名前は必ず入力してください。"_s);
    EXPECT_TRUE(form.wizardSettings().silencemSec);
    control<QLineEdit>(form, "txtName")->setText(u"  "_s);
    click(form, {"com3to4", "com4to3"});
    expectStep(form, 3, mode + u":Winamp"_s);
    // The Run page counts the files anew each time it is entered.
    for (const QString& file : {files[3], files[1], files[2]}) {
        list->addPath(file);
    }
    EXPECT_EQ(list->item(3)->text(), files[3]); // shown in the order they run
    click(form, {"com3to4"});
    EXPECT_EQ(form.runPage->pb->maximum(), 4);

    // A close attempt during the run is refused without saving; "中断" reaches the window
    // between files: the file being handled is finished and no later one is touched.
    std::optional<bool> closed;
    engine.afterRead = [&] {
        const qsizetype file = form.runPage->runLog().count(u"歌詞ファイル："_s);
        if (file == 2) {
            QTimer::singleShot(0, &form, [&] { closed = form.close(); });
        } else if (file == 3) {
            form.runPage->showPendingLog(); // the progress is shown with the log's new text
            EXPECT_EQ(form.runPage->pb->text(), u"2 / 4"_s);
            QTimer::singleShot(0, &form, [&] { click(form, {"com4"}); });
        }
    };
    click(form, {"com4"});
    EXPECT_TRUE(closed == false && fixture.stored("Name").isEmpty());
    const QString log = form.runPage->runLog();
    EXPECT_TRUE(log.contains(files[2]) && log.endsWith(u"処理中断\r\n"_s)) << log.toStdString();
    EXPECT_FALSE(log.contains(files[3]) || log.contains(u"UTF-8"_s));
    EXPECT_EQ(tavorin::testing::readBytes(files[3]), lyrics);
    EXPECT_EQ(form.runPage->txtLog->toPlainText(), QString(log).remove(u'\r'));
    // How far it came and how it went, without reading the log.
    EXPECT_EQ(std::pair(form.runPage->pb->text(), form.stepPanelText()),
              std::pair(u"3 / 4"_s, u"書き込み 2、スキップ 0、曲なし 1、失敗 0"_s));
    // The unreachable song is named once, after the run.
    EXPECT_TRUE(fixture.messages.size() == 4 &&
                fixture.messages[3].endsWith(u"UTF-8 ではないので曲として探せません: "_s + folder +
                                             "/\\x89\\xcc.mp3"_L1));
    std::filesystem::remove(shiftJisSong); // a name the temporary folder cannot remove

    // "元に戻す" asks first; confirmed, it puts back the files the run wrote, once.
    fixture.answers = {false, true};
    click(form, {"com4Undo"});
    EXPECT_NE(tavorin::testing::readBytes(files[2]), lyrics);
    click(form, {"com4Undo"});
    EXPECT_EQ(fixture.messages.size(), 6);
    EXPECT_TRUE(tavorin::testing::readBytes(files[1]) == lyrics &&
                tavorin::testing::readBytes(files[2]) == lyrics);
    EXPECT_FALSE(form.runPage->com4Undo->isEnabled());
    EXPECT_EQ(form.runPage->runLog().count(u"元に戻しました。"_s), 2);

    // The report, saved from the Run Log's menu, tells of the abort and the files handled.
    fixture.saveAnswer = folder + "/report.json"_L1;
    form.runPage->saveReport->trigger();
    const QJsonObject report =
        QJsonDocument::fromJson(tavorin::testing::readBytes(fixture.saveAnswer)).object();
    EXPECT_TRUE(report["aborted"_L1].toBool() && report["files"_L1].toArray().size() == 3);
    EXPECT_EQ(report["counts"_L1]["written"_L1].toInt(), 2);

    // After the run: no way back, the log can be copied, "終了" ends the program and saves.
    EXPECT_FALSE(form.runPage->com4to3->isEnabled());
    click(form, {"com4Copy", "com4"});
    EXPECT_EQ(QApplication::clipboard()->text(), form.runPage->runLog());
    EXPECT_EQ(fixture.stored("NewMode|WinampTime|AtArtist|SilencemSec|RMP|Name|SongFolder"),
              (newMode ? u"True"_s : u"False"_s) + u"|True|True|False|True|  |"_s + folder + u'/');
}

INSTANTIATE_TEST_SUITE_P(BothModes, WizardWalkTest, ::testing::Bool());

// A keyboard user's walk, in Japanese throughout. Enter presses the focused button, else the
// page's button that moves on, but not in the list or the Run Log; Esc is "戻る". After every
// page change, the stay-on-top change included, the window is still the active one (its native
// window kept) and the page's first answer has the focus. Tool tips are wrapped at the pages'
// width in the window's font, "＠タグ" stays whole on its line at any width, ":Winamp" keeps
// clear of the window's edge, the about box has no minimise or maximise button.
TEST(WizardKeyboardTest, KeysFocusTipsAndTextsServeAKeyboardUserInJapanese) {
    ASSERT_TRUE(installQtJapanese(*qApp));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:"_L1);
    WizardFixture fixture;
    fixture.store.setValue(u"Init/Name"_s, u"A"_s);
    fixture.store.setValue(u"Init/NewMode"_s, u"False"_s);
    fixture.store.setValue(u"Init/WinampTime"_s, u"True"_s);
    FormMain form(fixture.services());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const QWindow* nativeWindow = form.windowHandle();
    form.lyricsFilesPage->list1->addPath(fixture.folder.filePath(u"a.txt"_s));
    for (const char* name : {"Image1", "opt1_0", "chkIgnoreOwn", "list1", "txtName"}) {
        QWidget* tipped = control<QWidget>(form, name);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), tipped->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(tipped, &help);
        const auto* tip = form.findChild<QLabel*>(u"qtooltip_label"_s);
        ASSERT_TRUE(tip != nullptr && tip->text().contains(tipped->toolTip().first(4))) << name;
        EXPECT_TRUE(tip->width() <= 320 && tip->font().family() == form.font().family()) << name;
    }
    // Each row: the control given the focus (none: where it is), the key, then the page shown
    // and the control with the focus. The arrow key changes the mode after a round trip.
    const std::tuple<const char*, Qt::Key, int, const char*> keys[] = {
        {nullptr, Qt::Key_Return, 1, "com1to2"}, {nullptr, Qt::Key_Escape, 0, "opt1_1"},
        {nullptr, Qt::Key_Up, 0, "opt1_0"},      {nullptr, Qt::Key_Enter, 1, "com1to2"},
        {"list1", Qt::Key_Return, 1, "list1"},   {"Com1to0", Qt::Key_Return, 0, "opt1_0"},
        {nullptr, Qt::Key_Return, 1, "com1to2"}, {nullptr, Qt::Key_Return, 2, "opt2_0"},
        {nullptr, Qt::Key_Return, 3, "txtName"}, {nullptr, Qt::Key_Return, 4, "com4"},
        {"txtLog", Qt::Key_Return, 4, "txtLog"}, {"txtLog", Qt::Key_Escape, 3, "txtName"},
    };
    for (const auto& [focus, key, page, focused] : keys) {
        QWidget* target = focus ? control<QWidget>(form, focus) : QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << focused;
        target->setFocus();
        QTest::keyClick(target, key);
        QApplication::processEvents();
        EXPECT_TRUE(form.isActiveWindow() && form.windowHandle() == nativeWindow) << focused;
        EXPECT_EQ(std::pair(form.currentPage(), QApplication::focusWidget()),
                  std::pair(page, control<QWidget>(form, focused)));
    }
    EXPECT_TRUE(fixture.messages.isEmpty() && control(form, "opt1_0")->isChecked());

    const auto* panel = control<QLabel>(form, "SB_2");
    EXPECT_LE(panel->mapTo(&form, panel->contentsRect().topLeft()).x() +
                  QFontMetrics(panel->font()).horizontalAdvance(panel->text()),
              form.width() - 8);
    const QString explanation = control<QLabel>(form, "lblExplain")->text();
    const qsizetype at = explanation.indexOf(u'＠'), atEnd = explanation.indexOf(u'グ', at) + 1;
    for (int width = 60; width <= 300; ++width) {
        QTextLayout layout(explanation, form.font());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            EXPECT_FALSE(line.textStart() > at && line.textStart() < atEnd) << width;
        }
        layout.endLayout();
    }
    FormAbout about(fixture.engine, fixture, &form);
    EXPECT_EQ(about.comClose->font().families(), form.font().families());
    EXPECT_EQ(about.windowFlags() & (Qt::CustomizeWindowHint | Qt::WindowMinMaxButtonsHint),
              Qt::CustomizeWindowHint);
}

// A second instance brings the running wizard to the front and ends itself before it starts
// the engine or touches the settings; the lock file a crashed instance left behind (its
// process no longer exists) does not block a start.
TEST(WizardStartTest, SecondInstanceShowsTheFirstAndEndsButAStaleLockDoesNotBlock) {
    WizardFixture fixture;
    const QString lockPath = fixture.folder.filePath(u"wizard.lock"_s);
    {
        SingleInstanceLock first(lockPath), second(lockPath);
        const std::unique_ptr<FormMain> running = startWizard(first, fixture.services());
        ASSERT_NE(running, nullptr);
        running->show();
        QWidget other;
        other.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_EQ(startWizard(second, fixture.services()), nullptr);
        EXPECT_TRUE(fixture.engine.initCount == 1 && fixture.store.allKeys().isEmpty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return running->isActiveWindow(); }));
    }
    ASSERT_TRUE(writeBytes(lockPath, "2147483646\ntavorin-wizard\n" +
                                         QSysInfo::machineHostName().toUtf8() + "\n"));
    SingleInstanceLock lock(lockPath);
    EXPECT_NE(startWizard(lock, fixture.services()), nullptr);
    EXPECT_EQ(fixture.engine.initCount, 2);
}

// The quick-help document beside the program first (a build tree), then in the installed data
// folder; a folder of its name is no document.
TEST(WizardStartTest, QuickHelpIsTheFirstDocumentFound) {
    // What lies beside the program and in the data folder (F: the file, D: a folder, -:
    // nothing), then which of the two is named.
    for (const char* entries : {"F-0", "-F1", "FF0", "DF1", "-D0", "--0"}) {
        QTemporaryDir root;
        const QString program = root.filePath(u"usr/bin"_s);
        const QString data = QDir::cleanPath(program + u'/' + QLatin1String(dataFolderFromProgram));
        const QString paths[] = {program + u"/Tavorin補正Wizard.txt"_s,
                                 data + u"/Tavorin補正Wizard.txt"_s};
        for (const int place : {0, 1}) {
            ASSERT_TRUE(entries[place] == '-' ||
                        (entries[place] == 'F' ? writeBytes(paths[place], "help")
                                               : QDir().mkpath(paths[place])));
        }
        EXPECT_EQ(quickHelpPath(program), paths[entries[2] - '0']) << entries;
    }
}

} // namespace
} // namespace tavorin::test
