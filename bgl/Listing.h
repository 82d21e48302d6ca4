#pragma once
// The lines of the airport tree: a 25-character label, then the elevation in metres with three
// decimals, right-justified in at least nine characters, in the regional number format.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

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

// Writes the lines of a whole tree, each the same as TreeLine's, in a buffer of its own: a large
// file has hundreds of thousands of them, and a line is some thirty bytes.
class TreeLineWriter {
 public:
  explicit TreeLineWriter(const platform::NumberSymbols& symbols);
  // The line of entry, valid until the next call.
  std::string_view Line(const TElevation& entry);

 private:
  // The longest symbols and label written in place; longer ones go through AppendTreeLine.
  static constexpr std::size_t kShortSymbol = 8;
  static constexpr std::size_t kLabelBytes = 4 * kLabelWidth;

  // A symbol of at most kShortSymbol bytes, written with one store of them all.
  struct ShortSymbol {
    char bytes[kShortSymbol] = {};
    std::size_t size = 0;
    char* CopyTo(char* p) const {
      std::memcpy(p, bytes, kShortSymbol);
      return p + size;
    }
  };

  std::string_view Other(const TElevation& entry);

  const platform::NumberSymbols& symbols_;
  bool shortSymbols_;
  std::size_t groupingChars_;
  std::size_t decimalChars_;
  ShortSymbol grouping_;
  ShortSymbol decimal_;
  // The label and the blanks written after it; the elevation's blanks, a sign, 7 digits, 2
  // groupings, the decimal symbol, 3 decimals; the room a last fixed-size store takes.
  char line_[kLabelBytes + kLabelWidth + kElevationWidth + 1 + 7 + 3 * kShortSymbol + 3 +
             kShortSymbol];
  std::string other_;
};

// Whether two airport names are equal when the letters a to z are taken as A to Z (no other
// letter is folded).
bool SameAirportName(std::string_view a, std::string_view b);
// Whether text, as the user types an airport, names the airport of this name and ident: its
// ident (IsIdentOf) or its name (SameAirportName).
bool NamesAirport(std::string_view text, std::string_view name, std::string_view icao);

}  // namespace qor
