#include "platform/Collation.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows texts are UTF-16");

// lstrcmpW's comparison: the user's locale, no flag (case and accents count after the letters,
// digits one by one); the keys are made with the same so that both orders agree.
constexpr DWORD kFlags = 0;

// A text as the system takes it: an empty one as the empty zero-terminated text, since a
// length of zero is not accepted everywhere.
struct Units {
  const wchar_t* data;
  int length;
};

std::optional<Units> UnitsOf(std::u16string_view text) {
  if (text.empty()) return Units{L"", -1};
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  return Units{reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size())};
}

int Sign(int compared) {
  return compared < 0 ? -1 : compared > 0 ? 1 : 0;
}

}  // namespace

int CompareText(std::u16string_view a, std::u16string_view b) {
  const std::optional<Units> x = UnitsOf(a);
  const std::optional<Units> y = UnitsOf(b);
  if (x && y) {
    const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, x->data, x->length,
                                         y->data, y->length, nullptr, nullptr, 0);
    if (result != 0) return result - CSTR_EQUAL;
  }
  return Sign(a.compare(b));  // the system failed: code unit order keeps the sort total
}

int CompareText(std::string_view a, std::string_view b) {
  try {
    const std::wstring x = Wide(a);
    const std::wstring y = Wide(b);
    return CompareText(std::u16string_view(reinterpret_cast<const char16_t*>(x.data()), x.size()),
                       std::u16string_view(reinterpret_cast<const char16_t*>(y.data()), y.size()));
  } catch (...) {
    return Sign(a.compare(b));
  }
}

std::size_t AppendSortKey(std::u16string_view text, std::string& keys) {
  const std::size_t start = keys.size();
  const std::optional<Units> units = UnitsOf(text);
  if (!units) return 0;
  // Most keys fit in a guess from the length; the rare longer one is made again at its size.
  int room = static_cast<int>(std::min<std::size_t>(text.size() * 4 + 16, 1 << 20));
  for (int attempt = 0; attempt < 2; ++attempt) {
    keys.resize(start + static_cast<std::size_t>(room));
    // With LCMAP_SORTKEY the output is bytes and its size is counted in bytes.
    const int made = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | kFlags, units->data,
                                     units->length, reinterpret_cast<wchar_t*>(keys.data() + start),
                                     room, nullptr, nullptr, 0);
    if (made > 0) {
      keys.resize(start + static_cast<std::size_t>(made) - 1);  // without the ending zero
      return keys.size() - start;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    room = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | kFlags, units->data,
                           units->length, nullptr, 0, nullptr, nullptr, 0);
    if (room <= 0) break;
  }
  keys.resize(start);  // no key to be had: all such texts sort together, first
  return 0;
}

std::size_t AppendSortKey(std::string_view text, std::string& keys) {
  const std::wstring units = Wide(text);
  return AppendSortKey(
      std::u16string_view(reinterpret_cast<const char16_t*>(units.data()), units.size()), keys);
}

KeyPrefix SortKeyPrefix(std::string_view text) {
  // The system makes whole keys only.
  thread_local std::string key;
  key.clear();
  AppendSortKey(text, key);
  return KeyPrefixOf(key);
}

}  // namespace qor::platform
