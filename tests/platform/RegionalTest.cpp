#include "platform/Regional.h"

#include <string_view>

#include <gtest/gtest.h>

#include "text/Utf8.h"

#ifndef _WIN32
#include <locale.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#endif

namespace qor::platform {
namespace {

TEST(UserNumberSymbols, ADecimalSymbolAndADistinctGroupingSymbolInUtf8) {
  const NumberSymbols symbols = UserNumberSymbols();
  EXPECT_FALSE(symbols.decimal.empty());
  EXPECT_NE(symbols.decimal, symbols.grouping);
  EXPECT_TRUE(IsUtf8(symbols.decimal)) << symbols.decimal;
  EXPECT_TRUE(IsUtf8(symbols.grouping)) << symbols.grouping;
}

#ifndef _WIN32
// Linux reads the symbols from LC_NUMERIC as the environment sets it, at each call; Windows
// takes them from the user's regional settings, which a test cannot change for itself.

class ScopedLocaleEnv {
 public:
  ScopedLocaleEnv() {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (const char* value = std::getenv(kNames[i])) saved_[i] = value;
      ::unsetenv(kNames[i]);
    }
  }
  ~ScopedLocaleEnv() {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (saved_[i]) {
        ::setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        ::unsetenv(kNames[i]);
      }
    }
  }
  ScopedLocaleEnv(const ScopedLocaleEnv&) = delete;
  ScopedLocaleEnv& operator=(const ScopedLocaleEnv&) = delete;

 private:
  static constexpr const char* kNames[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
  std::optional<std::string> saved_[std::size(kNames)];
};

bool Installed(const char* locale) {
  const locale_t loc = ::newlocale(LC_NUMERIC_MASK, locale, static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return false;
  ::freelocale(loc);
  return true;
}

TEST(UserNumberSymbols, FollowLcNumericOfTheEnvironment) {
  struct Case {
    const char* variable;
    const char* locale;
    const char* decimal;
    const char* grouping;
  };
  const Case cases[] = {
      {"LC_ALL", "C.UTF-8", ".", ""},
      {"LANG", "C", ".", ""},
      {"LC_NUMERIC", "fr_FR.UTF-8", ",", "\u202f"},  // a narrow no-break space, three bytes
      {"LANG", "de_DE.UTF-8", ",", "."},
      {"LC_NUMERIC", "en_US.UTF-8", ".", ","},
      {"LC_ALL", "xx_XX.UTF-8", ".", ""},  // no such locale: the C symbols
  };
  for (const Case& c : cases) {
    if (std::string_view(c.locale) != "xx_XX.UTF-8" && !Installed(c.locale)) {
      std::cout << "locale " << c.locale << " is not installed: not tried\n";
      continue;
    }
    const ScopedLocaleEnv env;
    ::setenv(c.variable, c.locale, 1);
    const NumberSymbols symbols = UserNumberSymbols();
    EXPECT_EQ(symbols.decimal, c.decimal) << c.locale;
    EXPECT_EQ(symbols.grouping, c.grouping) << c.locale;
  }
  // LC_ALL rules over LC_NUMERIC.
  const ScopedLocaleEnv env;
  ::setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  EXPECT_EQ(UserNumberSymbols().decimal, ".");
}
#endif

}  // namespace
}  // namespace qor::platform
