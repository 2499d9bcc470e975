#include "app/desktop_shell_services.h"
#include "app/form_about.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/mode_page.h"
#include "app/other_settings_page.h"
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
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>

#include <filesystem>

namespace tavorin::test {
namespace {

using tavorin::testing::writeBytes;
using namespace Qt::StringLiterals;

// The page shown, the mode panel, and on top exactly while files are dragged onto the list.
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
    TaglibPlaybackEngine engine;
    FormMain form({engine, fixture, fixture.store, folder});
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
    fixture.folderAnswer = folder + QString(3, QChar(0));
    QTest::mouseClick(control<QWidget>(form, "lblSongFolder"), Qt::LeftButton);
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
    QObject::connect(form.runPage->pb, &QProgressBar::valueChanged, &form, [&](int value) {
        if (value == 1) {
            QTimer::singleShot(0, &form, [&] { closed = form.close(); });
        } else if (value == 2) {
            QTimer::singleShot(0, &form, [&] { click(form, {"com4"}); });
        }
    });
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

    // After the run: no way back, the log can be copied, "終了" ends the program and saves.
    EXPECT_FALSE(form.runPage->com4to3->isEnabled());
    click(form, {"com4Copy", "com4"});
    EXPECT_EQ(QApplication::clipboard()->text(), log);
    EXPECT_EQ(fixture.stored("NewMode|WinampTime|AtArtist|SilencemSec|RMP|Name|SongFolder"),
              (newMode ? u"True"_s : u"False"_s) + u"|True|True|False|True|  |"_s + folder + u'/');
}

INSTANTIATE_TEST_SUITE_P(BothModes, WizardWalkTest, ::testing::Bool());

// The wizard by keyboard alone: Enter presses the focused button, else the page's button that
// moves on, but not in the list or the Run Log; Esc is "戻る" where there is one.
TEST(WizardKeyboardTest, EnterMovesOnAndEscGoesBack) {
    WizardFixture fixture;
    fixture.store.setValue(u"Init/Name"_s, u"A"_s);
    FormMain form(fixture.services());
    form.show();
    form.lyricsFilesPage->list1->addPath(fixture.folder.filePath(u"a.txt"_s));
    // Each row: where the focus is, the key, the page then shown.
    const std::tuple<const char*, Qt::Key, int> keys[] = {
        {"opt1_1", Qt::Key_Return, 1}, {"list1", Qt::Key_Return, 1},
        {"list1", Qt::Key_Escape, 0},  {"opt1_0", Qt::Key_Escape, 0},
        {"com0to1", Qt::Key_Enter, 1}, {"Com1to0", Qt::Key_Return, 0},
        {"opt1_0", Qt::Key_Enter, 1},
        {"com1to2", Qt::Key_Return, 2}, {"opt2_1", Qt::Key_Return, 3},
        {"txtName", Qt::Key_Return, 4}, {"txtLog", Qt::Key_Return, 4},
        {"txtLog", Qt::Key_Escape, 3},  {"chkKaraoke", Qt::Key_Escape, 2},
        {"opt2_0", Qt::Key_Escape, 1},
    };
    for (const auto& [focus, key, page] : keys) {
        QWidget* target = control<QWidget>(form, focus);
        target->setFocus();
        QTest::keyClick(target, key);
        EXPECT_EQ(form.currentPage(), page) << focus << ' ' << key;
    }
    EXPECT_TRUE(fixture.messages.isEmpty());
    EXPECT_EQ(form.runPage->runState(), RunPage::RunState::Ready);
}

// A keyboard user's walk: after every page change, the stay-on-top change included, the window
// is still the active one (its native window kept) and the page's first answer has the focus.
TEST(WizardKeyboardTest, EveryPageChangeKeepsTheWindowActiveAndFocusesThePage) {
    WizardFixture fixture;
    FormMain form(fixture.services());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const QWindow* nativeWindow = form.windowHandle();
    const WId windowId = form.winId();
    form.lyricsFilesPage->list1->addPath(fixture.folder.filePath(u"a.txt"_s));
    // Each row: the key, typed where the focus is, then the page and the control with the focus
    // (the mode goes over to 補正変換 by the arrow key after a round trip).
    const std::tuple<Qt::Key, int, const char*> keys[] = {
        {Qt::Key_Return, 1, "com1to2"}, {Qt::Key_Escape, 0, "opt1_0"},
        {Qt::Key_Down, 0, "opt1_1"},    {Qt::Key_Return, 1, "com1to2"},
        {Qt::Key_Return, 2, "opt2_0"},  {Qt::Key_Return, 3, "txtName"},
        {Qt::Key_A, 3, "txtName"},      {Qt::Key_Return, 4, "com4"},
        {Qt::Key_Escape, 3, "txtName"}, {Qt::Key_Escape, 2, "opt2_0"},
        {Qt::Key_Escape, 1, "com1to2"}, {Qt::Key_Escape, 0, "opt1_1"},
    };
    for (const auto& [key, page, focus] : keys) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), key);
        QApplication::processEvents();
        EXPECT_TRUE(form.isActiveWindow() && form.windowHandle() == nativeWindow &&
                    form.winId() == windowId)
            << focus;
        EXPECT_EQ(std::pair(form.currentPage(), QApplication::focusWidget()),
                  std::pair(page, control<QWidget>(form, focus)));
    }
    EXPECT_FALSE(form.modePage->newModeSelected());
}

// The tip of each control: shown, wrapped at the pages' width, in the window's font.
void expectToolTip(const FormMain& form, const char* name) {
    QWidget* tipped = control<QWidget>(form, name);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), tipped->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(tipped, &help);
    const QLabel* tip = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->inherits("QTipLabel") && window->isVisible()) {
            tip = qobject_cast<QLabel*>(window);
        }
    }
    ASSERT_TRUE(tip != nullptr && !tipped->toolTip().isEmpty()) << name;
    EXPECT_TRUE(tip->text().contains(tipped->toolTip().first(5)) && tip->width() <= 320 &&
                tip->font().families() == form.font().families())
        << name << ' ' << tip->width();
    QToolTip::hideText();
}

// The finish: tool tips readable, "＠タグ" whole on its line at any width, ":Winamp" clear of
// the window's edge, the about box's OK in the window's font, no minimise or maximise buttons
// on the dialogs.
TEST(WizardLookTest, TipsWrapAndTextsKeepClearOfEdges) {
    WizardFixture fixture;
    fixture.store.setValue(u"Init/WinampTime"_s, true);
    FormMain form(fixture.services());
    form.show();
    for (const char* name : {"Image1", "opt1_0", "chkIgnoreOwn", "list1", "txtName"}) {
        expectToolTip(form, name);
    }
    const auto* explain = control<QLabel>(form, "lblExplain");
    for (const char* mode : {"opt1_1", "opt1_0"}) {
        click(form, {mode});
        for (int width = 60; width <= 300; ++width) {
            QTextLayout layout(explain->text(), explain->font());
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                const QString shown = explain->text().mid(line.textStart(), line.textLength());
                EXPECT_FALSE(QString(shown).remove(QChar(0x2060)).endsWith(u"＠"_s) ||
                             QString(shown).remove(QChar(0x2060)).endsWith(u"＠タ"_s))
                    << width;
            }
            layout.endLayout();
        }
    }
    form.lyricsFilesPage->list1->addPath(fixture.folder.filePath(u"a.txt"_s));
    click(form, {"com0to1", "com1to2", "com2to3"});
    QApplication::processEvents();
    const auto* panel = control<QLabel>(form, "SB_2");
    const int textWidth = QFontMetrics(panel->font()).horizontalAdvance(panel->text());
    const int textEnd = panel->mapTo(&form, panel->contentsRect().topLeft()).x() + textWidth;
    EXPECT_TRUE(panel->text().endsWith(u":Winamp"_s) && textEnd <= form.width() - 8 &&
                textWidth <= panel->contentsRect().width())
        << textEnd << ' ' << form.width();

    FormAbout about(fixture.engine, fixture, &form);
    EXPECT_EQ(about.comClose->font().families(), form.font().families());
    Qt::WindowFlags messageFlags;
    QTimer::singleShot(0, &form, [&] {
        messageFlags = QApplication::activeModalWidget()->windowFlags();
        QApplication::activeModalWidget()->close();
    });
    DesktopShellServices().showMessage(&form, u"x"_s);
    const Qt::WindowFlags frame =
        Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    EXPECT_EQ(about.windowFlags() & frame, Qt::CustomizeWindowHint);
    EXPECT_EQ(messageFlags & frame, Qt::CustomizeWindowHint);
}

// Qt's own dialogs and menus speak Japanese; the folder chooser opens at the Song Folder there
// is, else at home, never where the program was started.
TEST(WizardJapaneseTest, QtTextsAreJapaneseAndTheChooserStartsAtTheSongFolder) {
    ASSERT_TRUE(installQtJapanese(*qApp));
    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    const QStringList english = {u"Look in:"_s, u"&Undo"_s, u"Cancel"_s};
    const QStringList shown = {QCoreApplication::translate("QFileDialog", "Look in:"),
                               menu->actions().constFirst()->text(),
                               QCoreApplication::translate("QPlatformTheme", "Cancel")};
    for (qsizetype i = 0; i < shown.size(); ++i) {
        EXPECT_TRUE(shown[i] != english[i] && !shown[i].isEmpty()) << shown[i].toStdString();
    }

    WizardFixture fixture;
    OtherSettingsPage page(fixture);
    const QString folder = fixture.folder.path() + u'/';
    for (const auto& [songFolder, start] : {std::pair(QString(), QDir::homePath()),
                                            std::pair(folder, folder),
                                            std::pair(folder + u"gone/"_s, QDir::homePath())}) {
        page.lblSongFolder->setText(songFolder);
        page.chooseSongFolder();
        EXPECT_EQ(fixture.chooserStart, start);
    }
}

// A second instance brings the running wizard to the front and ends itself before it starts
// the engine or touches the settings; the lock file a crashed instance left behind (its
// process no longer exists) does not block a start.
TEST(WizardStartTest, SecondInstanceShowsTheFirstAndEndsButAStaleLockDoesNotBlock) {
    WizardFixture fixture;
    const QString lockPath = fixture.folder.filePath(u"wizard.lock"_s);
    {
        SingleInstanceLock first(lockPath);
        const std::unique_ptr<FormMain> running = startWizard(first, fixture.services());
        ASSERT_NE(running, nullptr);
        running->show();
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return other.isActiveWindow(); }));
        SingleInstanceLock second(lockPath);
        EXPECT_EQ(startWizard(second, fixture.services()), nullptr);
        EXPECT_EQ(fixture.engine.initCount, 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return running->isActiveWindow(); }));
        EXPECT_TRUE(fixture.store.allKeys().isEmpty());
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
