#include "bgl/DesignatorLabel.h"

#include <charconv>
#include <iterator>
#include <string_view>

namespace qor {

void AppendDesignatorLabel(std::string& out, std::uint16_t word) {
  static constexpr std::string_view kDirections[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  static constexpr std::string_view kDesignators[] = {"", " L", " R", " C", " water", " A", " B"};
  const unsigned runway = word & 0xFF;
  const unsigned designator = (word >> 8) & 0xFF;
  if (runway >= 37 && runway <= 44) {
    out += kDirections[runway - 37];
  } else {
    char digits[4];
    const auto end = std::to_chars(digits, digits + sizeof digits, runway).ptr;
    out.append(digits, end);
  }
  if (designator < std::size(kDesignators)) out += kDesignators[designator];
}

std::string DesignatorLabel(const Variant& value) {
  std::string text;
  AppendDesignatorLabel(text, static_cast<std::uint16_t>(value.AsInt64()));
  return text;
}

}  // namespace qor
