#pragma once
// Taking a text apart at separators, one field at a time: the settings' lists, the parts of a
// typed value, the columns of a printed line.

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Cuts the field before the first sep from text (unquoted) and leaves in text what follows the
// separator; without sep (an empty sep never occurs) the whole text is the field.
std::string CutField(std::string& text, std::string_view sep);
// Cuts at whichever of seps comes first (ties to the earlier in the list) and says which in
// found; an empty list means the tab. With two or more separators of which none occurs, found
// is empty and the whole text is the field.
std::string CutFieldAny(std::string& text, const std::vector<std::string>& seps,
                        std::string& found);
// text without its enclosing double quotes, when it starts and ends with one.
std::string Unquote(std::string_view text);

}  // namespace qor
