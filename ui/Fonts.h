#pragma once
// The fixed-pitch font of the airport tree and of the print-out.

#include <QFont>

namespace qor {

// "Courier New" of pointSize points, or, where the font that stands in for it lacks a character
// that numbers are written with here (the regional symbols, the no-break spaces, the
// apostrophes), the first fixed-pitch font that has them all: a glyph taken from another font
// would make its line taller and its descenders clipped.
QFont FixedPitchFont(int pointSize);

// Whether font draws every character of text itself.
bool DrawsAll(const QFont& font, const QString& text);

}  // namespace qor
