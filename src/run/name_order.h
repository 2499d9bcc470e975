#pragma once

#include <QStringView>

namespace tavorin {

// The one order of names and paths in a run: the lyrics file list and the walk over the Song
// Folder both go ascending ignoring letter case, as on the file systems the wizard was made
// for. Names equal but for case go in code unit order, so an order never depends on the disk
// or on the order in which files were dropped.
bool precedesIgnoringCase(QStringView a, QStringView b);

} // namespace tavorin
