#include "app/quick_help_path.h"

#include "app/wizard_texts.h"
#include "tavorin/install_layout.h"

#include <QDir>
#include <QFileInfo>

namespace tavorin {

QString quickHelpPath(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(quickHelpFileName());
    const QString installed = QDir::cleanPath(folder.filePath(
        QLatin1String(dataFolderFromProgram) + QLatin1Char('/') + quickHelpFileName()));
    for (const QString& candidate : {beside, installed}) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return beside;
}

} // namespace tavorin
