#pragma once
// The typed field reader: every value the library takes from a BGL file is read here.

#include <cstdint>
#include <string>

#include "bgl/BufferedFile.h"
#include "util/Variant.h"

namespace qor {

// Reads one value of type code `code` at the absolute offset of the open file:
//   'B' unsigned 8-bit, 'W' unsigned 16-bit, 'D' unsigned 32-bit (little-endian),
//   'F' 8-byte IEEE double, 'S' zero-terminated Windows-1252 text (given as UTF-8).
// nextPos receives the offset just past the value. A read past the end of the file raises
// EReadBeyondEnd; an unknown code raises Exception and leaves value unchanged.
void GetValue(BufferedFile& file, std::uint32_t offset, char code, Variant& value,
              std::uint32_t& nextPos);

// "$" and the hexadecimal digits of a number: four digits of its low 16 bits, or, for an
// unsigned 32-bit value or a real, eight digits split 4 + 4 by an "x" ($1234x5678).
std::string ValueToHex(const Variant& value);

}  // namespace qor
