#pragma once
#include <string>

namespace qor::platform {

// The user's regional decimal and digit-grouping symbols (each may be several bytes of UTF-8,
// and the grouping symbol may be empty).
struct NumberSymbols {
  std::string decimal = ".";
  std::string grouping;
};

// Read from the user's locale each time it is called: on Linux LC_NUMERIC as the environment
// sets it, on Windows the user's regional settings.
NumberSymbols UserNumberSymbols();

}  // namespace qor::platform
