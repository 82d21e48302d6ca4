#pragma once
#include <string>

#include "util/Variant.h"

namespace qor {

// The text that follows "Runway " or "Start " for a runway word: the runway number in the low
// byte (1 to 36 as their number, 37 to 44 the directions N, NE, E, SE, S, SW, W, NW, any other
// byte as its number), then the designator of the high byte (L, R, C, water, A, B).
std::string DesignatorLabel(const Variant& value);
// The same label appended to out, for the record walk that builds one per runway and start.
void AppendDesignatorLabel(std::string& out, std::uint16_t word);

}  // namespace qor
