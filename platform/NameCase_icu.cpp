#include "platform/NameCase.h"

#include <unicode/uchar.h>

#include "text/Utf8.h"

namespace qor::platform {

std::u32string NtfsUpperCase(std::string_view name) {
  std::u32string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const Utf8Char c = DecodeUtf8(name, i);
    // A byte that is not UTF-8 keeps its own value, above every code point.
    out.push_back(c.valid ? static_cast<char32_t>(u_toupper(static_cast<UChar32>(c.code)))
                          : 0x110000 + static_cast<unsigned char>(name[i]));
    i += c.size;
  }
  return out;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a == b || NtfsUpperCase(a) == NtfsUpperCase(b);
}

}  // namespace qor::platform
