// Renders every page of the wizard and the about box to PNG files, for the README. Runs under
// the offscreen platform: take_screenshots OUTPUT_FOLDER [SONG_FILE]
#include "app/form_about.h"
#include "app/form_main.h"
#include "app/lyrics_file_list_widget.h"
#include "app/lyrics_files_page.h"
#include "app/other_settings_page.h"
#include "app/qt_translation.h"
#include "app/run_page.h"
#include "app/shell_services.h"
#include "song/taglib_playback_engine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// Nothing to ask: the pictures are taken without anyone at the desk.
class SilentShell : public tavorin::ShellServices {
public:
    void showMessage(QWidget*, const QString&) override {}
    bool askQuestion(QWidget*, const QString&) override { return false; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(QWidget*, const QString&, const QString&) override { return {}; }
    bool openUrl(const QUrl&) override { return false; }
};

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    QCoreApplication::processEvents();
    const bool saved = widget.grab().save(folder.filePath(name));
    if (!saved) {
        QTextStream(stderr) << "cannot write " << folder.filePath(name) << '\n';
    }
    return saved;
}

QPushButton* button(const QWidget& form, const char* name) {
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    tavorin::installQtJapanese(application);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        QTextStream(stderr) << "usage: take_screenshots OUTPUT_FOLDER [SONG_FILE]\n";
        return 2;
    }
    const QDir output(arguments.at(1));
    QDir().mkpath(output.path());

    QTemporaryDir work;
    const QString lyricsFolder = work.filePath(QStringLiteral("歌詞"));
    QDir().mkpath(lyricsFolder);
    const QStringList songs = {QStringLiteral("さくら"), QStringLiteral("Blue Moon"),
                               QStringLiteral("夜明けのうた")};
    for (const QString& song : songs) {
        QFile lyrics(QDir(lyricsFolder).filePath(song + QStringLiteral(".txt")));
        if (lyrics.open(QIODevice::WriteOnly)) {
            lyrics.write("[00:01:00]la [00:02:00]la [00:03:00]la\r\n");
        }
        if (arguments.size() > 2) {
            QFile::copy(arguments.at(2),
                        QDir(lyricsFolder).filePath(song + QStringLiteral(".mp3")));
        }
    }

    tavorin::TaglibPlaybackEngine engine;
    SilentShell shell;
    QSettings store(work.filePath(QStringLiteral("Quendel.ini")), QSettings::IniFormat);
    tavorin::FormMain form(tavorin::WizardServices{engine, shell, store, work.path(),
                                                   work.filePath(QStringLiteral("runs"))});
    form.show();

    bool ok = save(form, output, QStringLiteral("page1-mode.png"));
    button(form, "com0to1")->click();
    for (const QString& song : songs) {
        form.lyricsFilesPage->list1->addPath(
            QDir::toNativeSeparators(QDir(lyricsFolder).filePath(song + QStringLiteral(".txt"))));
    }
    ok = save(form, output, QStringLiteral("page2-lyrics-files.png")) && ok;
    button(form, "com1to2")->click();
    ok = save(form, output, QStringLiteral("page3-time-type.png")) && ok;
    button(form, "com2to3")->click();
    form.otherSettingsPage->txtName->setText(QStringLiteral("Tavorin"));
    form.otherSettingsPage->lblSongFolder->setText(QDir::toNativeSeparators(lyricsFolder) +
                                                   QDir::separator());
    ok = save(form, output, QStringLiteral("page4-other-settings.png")) && ok;

    // The Song Folder chooser as a click on the folder opens it: Qt's own dialog, in Japanese,
    // at the Song Folder.
    QFileDialog chooser(&form, QStringLiteral("フォルダを選択してください"), lyricsFolder);
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    chooser.show();
    ok = save(chooser, output, QStringLiteral("folder-chooser.png")) && ok;
    chooser.hide();
    button(form, "com3to4")->click();
    button(form, "com4")->click();
    ok = save(form, output, QStringLiteral("page5-run.png")) && ok;

    tavorin::FormAbout about(engine, shell, &form);
    about.show();
    while (about.isSliding()) {
        about.slideTick();
    }
    ok = save(about, output, QStringLiteral("about.png")) && ok;
    return ok ? 0 : 1;
}
