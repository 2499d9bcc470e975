#pragma once

#include <QString>

namespace tavorin {

// Where "簡易ヘルプ" finds the quick-help document: beside the program (the build tree, or a
// program unpacked into one folder), else in the data folder of an installed program. When
// neither holds it, the path beside the program, which then opens nothing.
QString quickHelpPath(const QString& programFolder);

} // namespace tavorin
