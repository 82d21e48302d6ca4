#include "platform/Collation.h"

#include <cstdlib>
#include <memory>
#include <string>

#include <unicode/ucol.h>

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

}  // namespace qor::platform
