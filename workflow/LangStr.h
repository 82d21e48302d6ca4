#pragma once
#include <string>

namespace qor {

// The numbered texts of the window: the one place where a translation would be looked up.
// Every text the window sets at run time passes here; it returns its French default.
std::string LangStr(int id, const std::string& defaultText);

}  // namespace qor
