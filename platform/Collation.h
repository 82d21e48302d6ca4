#pragma once
#include <string_view>

namespace qor::platform {

// The one comparison of texts that sorts the airport tree in the window, the print-out and the
// command line: the user's locale's collation (the root collation for the C locale), case and
// accents secondary to the letters, digits compared as characters ("Runway 10" before
// "Runway 9"). Texts are UTF-8. Returns <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);

}  // namespace qor::platform
