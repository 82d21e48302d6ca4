#include "platform/Collation.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/ustring.h>

namespace qor::platform {

namespace {

// "fr_FR.UTF-8@euro" -> "fr_FR"; the C and POSIX locales take the root collation.
std::string CollationLocale() {
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    std::string locale = value;
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale == "C" || locale == "POSIX") return "";
    return locale;
  }
  return "";
}

struct CollatorCloser {
  void operator()(UCollator* c) const { ucol_close(c); }
};

UCollator* Collator() {
  static const std::unique_ptr<UCollator, CollatorCloser> collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open(CollationLocale().c_str(), &status);
    if (U_FAILURE(status)) {
      status = U_ZERO_ERROR;
      c = ucol_open("", &status);
    }
    return std::unique_ptr<UCollator, CollatorCloser>(U_SUCCESS(status) ? c : nullptr);
  }();
  return collator.get();
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  UCollator* collator = Collator();
  if (collator != nullptr) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()),
                                                b.data(), static_cast<int32_t>(b.size()), &status);
    if (U_SUCCESS(status)) return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
  }
  return a.compare(b);
}

int CompareText(std::u16string_view a, std::u16string_view b) {
  const auto* x = reinterpret_cast<const UChar*>(a.data());
  const auto* y = reinterpret_cast<const UChar*>(b.data());
  const auto m = static_cast<int32_t>(a.size());
  const auto n = static_cast<int32_t>(b.size());
  UCollator* collator = Collator();
  if (collator == nullptr) return u_strCompare(x, m, y, n, true);  // code point order, as UTF-8
  const UCollationResult r = ucol_strcoll(collator, x, m, y, n);
  return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

std::size_t AppendSortKey(std::u16string_view text, std::string& keys) {
  const std::size_t start = keys.size();
  UCollator* collator = Collator();
  const auto* units = reinterpret_cast<const UChar*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  if (collator == nullptr) {
    // Without a collator CompareText compares UTF-8 bytes: the key is the UTF-8 form.
    int32_t needed = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(nullptr, 0, &needed, units, length, &status);
    keys.resize(start + static_cast<std::size_t>(needed) + 1);
    status = U_ZERO_ERROR;
    u_strToUTF8(keys.data() + start, needed + 1, &needed, units, length, &status);
    keys.resize(start + static_cast<std::size_t>(needed));
    return keys.size() - start;
  }
  // Most keys fit in a guess from the length; the rare longer one is made again at its size.
  std::size_t room = text.size() * 3 + 16;
  for (;;) {
    keys.resize(start + room);
    const int32_t needed =
        ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(keys.data() + start),
                        static_cast<int32_t>(room));
    if (needed <= 0) {  // no key to be had: all such texts sort together, first
      keys.resize(start);
      return 0;
    }
    if (static_cast<std::size_t>(needed) <= room) {
      keys.resize(start + static_cast<std::size_t>(needed) - 1);  // without the ending zero
      return keys.size() - start;
    }
    room = static_cast<std::size_t>(needed);
  }
}

namespace {

// ICU weighs UTF-16: a text is turned into it in a buffer kept from call to call, bytes that
// are not UTF-8 as U+FFFD, as CompareText takes them.
std::u16string_view Utf16(std::string_view text) {
  thread_local std::u16string units;
  units.resize(text.size() + 1);
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()),
                       &length, text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr,
                       &status);
  if (U_FAILURE(status)) length = 0;
  return std::u16string_view(units.data(), static_cast<std::size_t>(length));
}

}  // namespace

std::size_t AppendSortKey(std::string_view text, std::string& keys) {
  return AppendSortKey(Utf16(text), keys);
}

KeyPrefix SortKeyPrefix(std::string_view text) {
  UCollator* collator = Collator();
  if (collator == nullptr) {  // the key is the text's own bytes
    return KeyPrefixOf(text);
  }
  // ICU weighs only as many characters as the sixteen bytes need.
  const std::u16string_view units = Utf16(text);
  UCharIterator iterator;
  uiter_setString(&iterator, reinterpret_cast<const UChar*>(units.data()),
                  static_cast<int32_t>(units.size()));
  std::uint32_t state[2] = {0, 0};
  std::uint8_t bytes[16];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t made = ucol_nextSortKeyPart(collator, &iterator, state, bytes, 16, &status);
  if (U_SUCCESS(status)) {
    return KeyPrefixOf(
        std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(made)));
  }
  thread_local std::string key;  // the whole key, then
  key.clear();
  AppendSortKey(units, key);
  return KeyPrefixOf(key);
}

}  // namespace qor::platform
