#pragma once
// A colour as one 32-bit value, red in the low byte, as the print document's drawing surface
// takes it (the layout of a Windows colour value).

#include <cstdint>

namespace qor {

// R + G * 256 + B * 65536, from the low 8 bits of each.
constexpr std::uint32_t RGBColor(int r, int g, int b) {
  return (static_cast<std::uint32_t>(r) & 0xFF) | (static_cast<std::uint32_t>(g) & 0xFF) << 8 |
         (static_cast<std::uint32_t>(b) & 0xFF) << 16;
}

}  // namespace qor
