#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qor::platform {

// The names (without folder) of the files of a folder whose extension is `extension` in any
// letter case, as Windows matches "*.bgl": regular files only (links followed), in the order an
// NTFS folder gives them, by their upper-case form. Raises EInOutError when the folder cannot
// be read.
std::vector<std::string> ListFolderFiles(const std::string& folder, std::string_view extension);

// The upper-case form of a name as NTFS compares it, code point by code point; bytes that are
// not UTF-8 stay as they are.
std::u32string NtfsUpperCase(std::string_view name);

}  // namespace qor::platform
