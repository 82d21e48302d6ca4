#pragma once
// Names compared as Windows compares file and key names: letter case aside, each character
// taken to its upper-case form one for one.

#include <string>
#include <string_view>

namespace qor::platform {

// The upper-case form of a name, code point by code point; bytes that are not UTF-8 stay as
// they are, above every code point.
std::u32string NtfsUpperCase(std::string_view name);

// Whether two names are the same name to Windows.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace qor::platform
