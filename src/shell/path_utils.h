#pragma once

#include <QString>

namespace tavorin {

// The separator of the paths the run handles.
constexpr QChar pathSeparator() {
    return u'/';
}

// The path ending in the separator; an empty path gives a lone separator.
QString withTrailingSeparator(const QString& path);
// Everything up to and including the last separator; empty when there is none.
QString folderOf(const QString& path);
// Everything after the last separator; empty when there is none (not the path itself).
QString nameOf(const QString& path);
// The file name up to its last "."; a name without "." comes back whole.
QString baseNameOf(const QString& path);
// The characters after the last "." of the file name, case kept; empty without one.
QString extensionOf(const QString& path);

} // namespace tavorin
