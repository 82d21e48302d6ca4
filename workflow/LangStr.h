#pragma once
#include <string>
#include <string_view>

namespace qor {

// The numbered texts of both windows and of their workflow, in one table (workflow/LangStr.cpp):
// the one place a window's text is written, so that the two windows cannot word the same control
// two ways. Their French texts are the table's; their translations, keyed by number and French
// text, are the translation files' (lang/Tr.h), in the current language.

// The text of number id, in the current language. A number the table lacks is a fault of the
// caller; it gives
// "[id]" so that the missing text shows.
std::string LangStr(int id);
// The same, for callers that carry their own French default: the table's text when it has the
// number, else defaultText.
std::string LangStr(int id, const std::string& defaultText);
// The French text of number id, whatever the language; empty for a number the table lacks.
std::string_view FrenchLangStr(int id);
// Whether the table holds the number.
bool HasLangStr(int id);

}  // namespace qor
