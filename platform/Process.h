#pragma once
#include <string>

namespace qor::platform {

// Full path of the running program's file (empty when the system cannot tell).
std::string ProgramFilePath();

// The process's current folder, ending in the path delimiter (empty when the system cannot
// tell).
std::string CurrentFolder();

// path made absolute against the current folder, its "." and ".." steps and doubled
// delimiters taken out (without looking at the disk).
std::string AbsolutePath(const std::string& path);

}  // namespace qor::platform
