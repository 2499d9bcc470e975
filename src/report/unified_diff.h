#pragma once

#include <QString>

namespace tavorin {

// A unified diff (three lines of context) that turns oldText into newText, both files named
// path; empty when the texts are alike. Lines keep their own ends (CR LF stays CR LF).
QString unifiedDiff(const QString& path, const QString& oldText, const QString& newText);

} // namespace tavorin
