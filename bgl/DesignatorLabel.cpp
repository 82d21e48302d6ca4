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
  char text[16];  // three digits and the longest designator
  std::size_t n = 0;
  if (runway >= 37 && runway <= 44) {
    const std::string_view direction = kDirections[runway - 37];
    direction.copy(text, direction.size());
    n = direction.size();
  } else {
    n = static_cast<std::size_t>(std::to_chars(text, text + 3, runway).ptr - text);
  }
  if (designator < std::size(kDesignators)) {
    const std::string_view suffix = kDesignators[designator];
    suffix.copy(text + n, suffix.size());
    n += suffix.size();
  }
  out.append(text, n);
}

std::string DesignatorLabel(const Variant& value) {
  std::string text;
  AppendDesignatorLabel(text, static_cast<std::uint16_t>(value.AsInt64()));
  return text;
}

}  // namespace qor
