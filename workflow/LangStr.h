#pragma once
#include <string>

namespace qor {

// The numbered texts of both windows and of their workflow, in one table (workflow/LangStr.cpp):
// the one place where a translation would be looked up, and the one place a window's text is
// written, so that the two windows cannot word the same control two ways.

// The text of number id. A number the table lacks is a fault of the caller; it gives
// "[id]" so that the missing text shows.
std::string LangStr(int id);
// The same, for callers that carry their own French default: the table's text when it has the
// number, else defaultText.
std::string LangStr(int id, const std::string& defaultText);
// Whether the table holds the number.
bool HasLangStr(int id);

}  // namespace qor
