#pragma once

#include <QString>
#include <QStringView>

namespace tavorin {

// The platform's path separator: "\" on Windows, "/" elsewhere. Every helper below takes the
// separator as its last argument so the Windows forms can be exercised on any platform.
QChar pathSeparator();

// The path ending in the separator; an empty path gives a lone separator.
QString withTrailingSeparator(const QString& path, QChar separator = pathSeparator());
// Everything up to and including the last separator; empty when there is none.
QString folderOf(const QString& path, QChar separator = pathSeparator());
// Everything after the last separator; empty when there is none (not the path itself).
QString nameOf(const QString& path, QChar separator = pathSeparator());
// The file name up to its last "."; a name without "." comes back whole.
QString baseNameOf(const QString& path, QChar separator = pathSeparator());
// The characters after the last "." of the file name, case kept; empty without one.
QString extensionOf(const QString& path, QChar separator = pathSeparator());

struct SplitText {
    QString before;
    QString after;
};
// Splits at the first occurrence of the separator text; without one, all is "before".
SplitText splitAtFirst(QStringView source, QStringView separator);

// Texts that come from fixed-width platform fields.
QString cutAtNul(const QString& text);
QString stripTrailingNuls(const QString& text);

} // namespace tavorin
