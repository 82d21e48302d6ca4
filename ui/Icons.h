#pragma once
#include <QPixmap>

namespace qor {

// The French tricolour of the language button, 27 x 19.
QPixmap FrenchFlag();
// The printer of the print button, 16 x 16.
QPixmap PrinterIcon();

}  // namespace qor
