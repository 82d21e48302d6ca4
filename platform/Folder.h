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

// Whether a folder can be opened to read its entries (links followed): a missing folder (or a
// file in its place) is not one that the system refuses to show, and the user is told which.
enum class FolderState { kReadable, kMissing, kUnreadable };
// For kUnreadable, reason receives the system's reason in French ("accès refusé").
FolderState ProbeFolder(const std::string& folder, std::string& reason);

// The roots a user browses, each ending in the path delimiter, sorted: the drives of Windows
// ("C:\\"), the mounted file systems of Linux ("/", "/home/", "/media/usb/") without the
// system's own pseudo file systems.
std::vector<std::string> DriveRoots();
// The root of roots that holds path (the longest that is a prefix of it); empty when none.
std::string DriveRootOf(const std::string& path, const std::vector<std::string>& roots);

// The names of every entry of a folder (files and folders), in no order; none when the folder
// cannot be read.
std::vector<std::string> FolderEntryNames(const std::string& folder);

// The name of the entry of folder equal to name in any letter case (the exact name first);
// empty when there is none.
std::string FindNameIgnoringCase(const std::string& folder, const std::string& name);

}  // namespace qor::platform
