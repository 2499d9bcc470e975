#pragma once

#include <QIcon>
#include <QPixmap>

namespace tavorin {

// The program's picture, drawn for this program: window icon, Image1 and the about box.
QIcon programIcon();
QPixmap programPicture(int size);

} // namespace tavorin
