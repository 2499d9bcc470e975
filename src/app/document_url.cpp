#include "app/document_url.h"

#include "app/shell_services.h"

#include <QFileInfo>

namespace tavorin {

std::optional<QUrl> documentUrl(const QString& target) {
    if (target.startsWith(QLatin1String("http"), Qt::CaseSensitive)) {
        return QUrl(target);
    }
    const QFileInfo info(target);
    if (target.isEmpty() || !info.isFile()) {
        return std::nullopt;
    }
    return QUrl::fromLocalFile(info.absoluteFilePath());
}

bool openDocument(ShellServices& shell, const QString& target) {
    const std::optional<QUrl> url = documentUrl(target);
    return url && shell.openUrl(*url);
}

} // namespace tavorin
