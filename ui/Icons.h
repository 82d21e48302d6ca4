#pragma once
#include <QIcon>
#include <QPixmap>

#include "lang/Language.h"

namespace qor {

// The French tricolour of the language button, 27 x 19.
// The flag of a language, 27 x 19: the French tricolour, the Union flag, the German flag (the
// pseudo-language of the tests shows the French one).
QPixmap Flag(lang::Language language);
// The printer of the print button, 16 x 16.
QPixmap PrinterIcon();
// The program's icon in every size compiled in (drawn from ui/icons/qorbgl.svg by the build):
// the window's, and the one the desktop entry names.
QIcon AppIcon();

}  // namespace qor
