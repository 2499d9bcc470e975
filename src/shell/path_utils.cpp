#include "shell/path_utils.h"

namespace tavorin {

QChar pathSeparator() {
#ifdef Q_OS_WIN
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QString withTrailingSeparator(const QString& path, QChar separator) {
    if (path.endsWith(separator)) {
        return path;
    }
    return path + separator;
}

QString folderOf(const QString& path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    return last < 0 ? QString() : path.left(last + 1);
}

QString nameOf(const QString& path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    return last < 0 ? QString() : path.mid(last + 1);
}

namespace {

// The name the base name and extension are taken from: the path itself when it has no
// separator or ends in one.
QString nameOrPath(const QString& path, QChar separator) {
    QString name = nameOf(path, separator);
    return name.isEmpty() ? path : name;
}

} // namespace

QString baseNameOf(const QString& path, QChar separator) {
    const QString name = nameOrPath(path, separator);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString extensionOf(const QString& path, QChar separator) {
    const QString name = nameOrPath(path, separator);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

SplitText splitAtFirst(QStringView source, QStringView separator) {
    const qsizetype at = separator.isEmpty() ? -1 : source.indexOf(separator);
    if (at < 0) {
        return {source.toString(), QString()};
    }
    return {source.left(at).toString(), source.mid(at + separator.size()).toString()};
}

QString cutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString stripTrailingNuls(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isNull()) {
        --end;
    }
    return text.left(end);
}

} // namespace tavorin
