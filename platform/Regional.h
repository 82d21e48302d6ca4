#pragma once
#include <string>

namespace qor::platform {

// The user's regional decimal and digit-grouping symbols (each may be several bytes of UTF-8,
// and the grouping symbol may be empty).
struct NumberSymbols {
  std::string decimal = ".";
  std::string grouping;
};

// Read from the user's locale (LC_NUMERIC, as the environment sets it) each time it is called.
NumberSymbols UserNumberSymbols();

}  // namespace qor::platform
