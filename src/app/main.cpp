#include "app/desktop_shell_services.h"
#include "app/form_main.h"
#include "app/qt_translation.h"
#include "app/single_instance_lock.h"
#include "settings/settings_store.h"
#include "song/taglib_playback_engine.h"
#include "tavorin/version.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavorin-wizard"));
    QApplication::setApplicationVersion(QLatin1String(tavorin::programVersion));
    QApplication::setDesktopFileName(QStringLiteral("tavorin-wizard"));
    tavorin::installQtJapanese(application);

    // A second instance ends here, before anything is loaded, shown or saved.
    tavorin::SingleInstanceLock lock;
    tavorin::TaglibPlaybackEngine engine;
    tavorin::DesktopShellServices shell;
    const std::unique_ptr<QSettings> settingsStore = tavorin::openUserSettings();
    const tavorin::WizardServices services{engine, shell, *settingsStore,
                                           QCoreApplication::applicationDirPath()};
    const std::unique_ptr<tavorin::FormMain> formMain = tavorin::startWizard(lock, services);
    if (!formMain) {
        return 0;
    }
    formMain->show();
    return QApplication::exec();
}
