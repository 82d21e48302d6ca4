#pragma once
// The bitmaps the window draws itself, once: the caller owns each and deletes it.

#include <windows.h>

namespace qor::winui {

// The French tricolour of the language button, 27 x 19.
HBITMAP FrenchFlag();
// The printer of the print button, 16 x 16, on the buttons' colour.
HBITMAP PrinterIcon();

}  // namespace qor::winui
