#pragma once
// The bitmaps the window draws itself, once: the caller owns each and deletes it.

#include <windows.h>

#include "lang/Language.h"

namespace qor::winui {

// The flag of a language, 27 x 19: the French tricolour, the Union flag, the German flag (the
// pseudo-language of the tests shows the French one).
HBITMAP Flag(lang::Language language);
// The printer of the print button, 16 x 16, on the buttons' colour.
HBITMAP PrinterIcon();

}  // namespace qor::winui
