#pragma once
// Cutting blanks and control characters off the ends of a text: every byte from 0 to 32 (the
// space, tab, line ends and the other C0 codes). A no-break space or any other character above
// ASCII is text and stays. The result is a view into the text given.

#include <string_view>

namespace qor {

std::string_view Trim(std::string_view text);
std::string_view TrimStart(std::string_view text);
std::string_view TrimEnd(std::string_view text);

}  // namespace qor
