#pragma once
// The lines of the airport tree: a 25-character label, then the elevation in metres with three
// decimals, right-justified in at least nine characters, in the regional number format.

#include <string>

#include "bgl/Records.h"
#include "platform/Regional.h"

namespace qor {

inline constexpr int kLabelWidth = 25;
inline constexpr int kElevationWidth = 9;

std::string TreeLine(const TElevation& entry);
std::string TreeLine(const TElevation& entry, const platform::NumberSymbols& symbols);
// Appends the same line to out.
void AppendTreeLine(std::string& out, const TElevation& entry,
                    const platform::NumberSymbols& symbols);

// Whether two airport names are equal when the letters a to z are taken as A to Z (no other
// letter is folded).
bool SameAirportName(std::string_view a, std::string_view b);

}  // namespace qor
