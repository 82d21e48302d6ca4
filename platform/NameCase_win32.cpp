#include "platform/NameCase.h"

#include <windows.h>

#include "platform/Text_win32.h"
#include "text/Utf8.h"

namespace qor::platform {

namespace {

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
      const Utf8Char c = DecodeUtf8(name, end);
      if (!c.valid) break;
      end += c.size;
    }
    if (end > i) {
      const std::string upper = Utf8(UpperCase(Wide(name.substr(i, end - i))));
      for (std::size_t k = 0; k < upper.size();) {
        const Utf8Char c = DecodeUtf8(upper, k);
        out.push_back(c.valid ? c.code : 0x110000 + static_cast<unsigned char>(upper[k]));
        k += c.size;
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
