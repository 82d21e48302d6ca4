#pragma once
#include <array>
#include <optional>
#include <string>

namespace qor::platform {

// Full path of the running program's file (empty when the system cannot tell).
std::string ProgramFilePath();

// The four numbers of the version resource of a program file (major, minor, release, build);
// nothing where the system keeps no such resource, or the file has none.
std::optional<std::array<int, 4>> VersionResourceOf(const std::string& path);

// The process's current folder, ending in the path delimiter (empty when the system cannot
// tell).
std::string CurrentFolder();

// The user's private folder for the sockets of this login session, ending in the path
// delimiter, on Linux: $XDG_RUNTIME_DIR, or else a folder of the user's own (made, mode 0700)
// in the system's temporary folder. Empty when neither can be had safely, and on Windows,
// where a running window is found through its window class instead.
std::string UserRuntimeFolder();

// path made absolute against the current folder, its "." and ".." steps and doubled
// delimiters taken out (without looking at the disk).
std::string AbsolutePath(const std::string& path);

}  // namespace qor::platform
