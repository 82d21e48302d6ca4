#include "platform/NameCase.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace qor::platform {

std::u32string NtfsUpperCase(std::string_view name) {
  std::u32string out;
  out.reserve(name.size());
  const auto* s = reinterpret_cast<const std::uint8_t*>(name.data());
  const auto length = static_cast<std::int32_t>(name.size());
  std::int32_t i = 0;
  while (i < length) {
    const std::int32_t start = i;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    // A byte that is not UTF-8 keeps its own value, above every code point.
    out.push_back(c < 0 ? 0x110000 + s[start] : static_cast<char32_t>(u_toupper(c)));
  }
  return out;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a == b || NtfsUpperCase(a) == NtfsUpperCase(b);
}

}  // namespace qor::platform
