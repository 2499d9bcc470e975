#include "shell/path_utils.h"

namespace tavorin {

QString withTrailingSeparator(const QString& path) {
    if (path.endsWith(pathSeparator())) {
        return path;
    }
    return path + pathSeparator();
}

QString folderOf(const QString& path) {
    const qsizetype last = path.lastIndexOf(pathSeparator());
    return last < 0 ? QString() : path.left(last + 1);
}

QString nameOf(const QString& path) {
    const qsizetype last = path.lastIndexOf(pathSeparator());
    return last < 0 ? QString() : path.mid(last + 1);
}

namespace {

// The name the base name and extension are taken from: the path itself when it has no
// separator or ends in one.
QString nameOrPath(const QString& path) {
    QString name = nameOf(path);
    return name.isEmpty() ? path : name;
}

} // namespace

QString baseNameOf(const QString& path) {
    const QString name = nameOrPath(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString extensionOf(const QString& path) {
    const QString name = nameOrPath(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace tavorin
