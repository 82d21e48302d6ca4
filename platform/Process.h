#pragma once
#include <string>

namespace qor::platform {

// Full path of the running program's file (empty when the system cannot tell).
std::string ProgramFilePath();

// The process's current folder, ending in the path delimiter (empty when the system cannot
// tell).
std::string CurrentFolder();

// The user's private folder for the sockets of this login session, ending in the path
// delimiter: $XDG_RUNTIME_DIR, or else a folder of the user's own (made, mode 0700) in the
// system's temporary folder. Empty when neither can be had safely.
std::string UserRuntimeFolder();

// path made absolute against the current folder, its "." and ".." steps and doubled
// delimiters taken out (without looking at the disk).
std::string AbsolutePath(const std::string& path);

}  // namespace qor::platform
