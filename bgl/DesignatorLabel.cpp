#include "bgl/DesignatorLabel.h"

namespace qor {

std::string DesignatorLabel(const Variant& value) {
  static constexpr const char* kDirections[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  static constexpr const char* kDesignators[] = {"", " L", " R", " C", " water", " A", " B"};
  const auto v = static_cast<std::uint64_t>(value.AsInt64());
  const unsigned runway = v & 0xFF;
  const unsigned designator = (v >> 8) & 0xFF;
  std::string text =
      runway >= 37 && runway <= 44 ? kDirections[runway - 37] : std::to_string(runway);
  if (designator < std::size(kDesignators)) text += kDesignators[designator];
  return text;
}

}  // namespace qor
