#include "platform/NameCase.h"

#include <windows.h>

#include "platform/PathText.h"
#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

// The code point of the well-formed UTF-8 sequence of n bytes at text[i].
char32_t CodePointAt(std::string_view text, std::size_t i, std::size_t n) {
  const auto byte = [&](std::size_t k) {
    return char32_t{static_cast<unsigned char>(text[i + k])};
  };
  switch (n) {
    case 1:
      return byte(0);
    case 2:
      return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
      return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    default:
      return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
             (byte(3) & 0x3F);
  }
}

// Windows' upper-case form, one UTF-16 unit for one, as the file systems fold names.
std::wstring UpperCase(const std::wstring& text) {
  std::wstring upper(text.size(), L'\0');
  const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(),
                                static_cast<int>(text.size()), upper.data(),
                                static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return n == static_cast<int>(text.size()) ? upper : text;
}

}  // namespace

std::u32string NtfsUpperCase(std::string_view name) {
  std::u32string out;
  out.reserve(name.size());
  std::size_t i = 0;
  while (i < name.size()) {
    // Each run of well-formed UTF-8 goes to Windows in one call.
    std::size_t end = i;
    while (end < name.size()) {
      const std::size_t n = Utf8SequenceLength(name, end);
      if (n == 0) break;
      end += n;
    }
    if (end > i) {
      const std::string upper = Utf8(UpperCase(Wide(name.substr(i, end - i))));
      for (std::size_t k = 0; k < upper.size();) {
        const std::size_t n = Utf8SequenceLength(upper, k);
        out.push_back(n > 0 ? CodePointAt(upper, k, n)
                            : 0x110000 + static_cast<unsigned char>(upper[k]));
        k += n > 0 ? n : 1;
      }
      i = end;
    }
    // A byte that is not UTF-8 keeps its own value, above every code point.
    if (i < name.size()) out.push_back(0x110000 + static_cast<unsigned char>(name[i++]));
  }
  return out;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a == b) return true;
  if (IsUtf8(a) && IsUtf8(b)) {
    const std::wstring wideA = Wide(a);
    const std::wstring wideB = Wide(b);
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
  }
  return NtfsUpperCase(a) == NtfsUpperCase(b);
}

}  // namespace qor::platform
