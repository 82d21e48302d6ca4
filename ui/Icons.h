#pragma once
#include <QIcon>
#include <QPixmap>

namespace qor {

// The French tricolour of the language button, 27 x 19.
QPixmap FrenchFlag();
// The printer of the print button, 16 x 16.
QPixmap PrinterIcon();
// The program's icon in every size compiled in (drawn from ui/icons/qorbgl.svg by the build):
// the window's, and the one the desktop entry names.
QIcon AppIcon();

}  // namespace qor
