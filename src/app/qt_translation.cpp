#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tavorin {

bool installQtJapanese(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    // qt_ja names the catalogues of each Qt module; they are loaded with it.
    if (!translator->load(QStringLiteral("qt_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace tavorin
