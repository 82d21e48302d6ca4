#include "platform/Regional.h"

#include <windows.h>

#include <optional>

#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

// The locale's text for type, in UTF-8; nothing when the system does not give it.
std::optional<std::string> LocaleText(LCTYPE type) {
  const int size = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int got = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text.data(), size);
  if (got <= 0) return std::nullopt;
  text.resize(static_cast<std::size_t>(got) - 1);  // without the terminating zero
  return Utf8(text);
}

}  // namespace

NumberSymbols UserNumberSymbols() {
  NumberSymbols symbols;
  try {
    if (auto decimal = LocaleText(LOCALE_SDECIMAL); decimal && !decimal->empty()) {
      symbols.decimal = std::move(*decimal);
    }
    if (auto grouping = LocaleText(LOCALE_STHOUSAND)) symbols.grouping = std::move(*grouping);
  } catch (...) {
    return NumberSymbols();  // the C symbols, as for a locale the system does not know
  }
  return symbols;
}

}  // namespace qor::platform
