#include "app/program_picture.h"

#include <QString>

// Resources of a static library have to be registered by name, outside any namespace.
static void initAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace tavorin {

namespace {

void ensureResources() {
    static const bool done = [] {
        initAppResources();
        return true;
    }();
    (void)done;
}

} // namespace

QIcon programIcon() {
    ensureResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/tavorin/tavorin-32.png"));
    icon.addFile(QStringLiteral(":/tavorin/tavorin-128.png"));
    return icon;
}

QPixmap programPicture(int size) {
    ensureResources();
    const QString file = size <= 32 ? QStringLiteral(":/tavorin/tavorin-32.png")
                                    : QStringLiteral(":/tavorin/tavorin-128.png");
    return QPixmap(file).scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace tavorin
