#pragma once
// Where a Windows program installed under Wine keeps its files, seen from Linux.

#include <string>

namespace qor::platform {

// The Wine prefix of the user: $WINEPREFIX, else ~/.wine.
std::string WinePrefix();

// The Linux path of a Windows path such as "C:\Program Files\FS9" inside a Wine prefix: the
// drive through the prefix's dosdevices, then each part of the path matched in any letter case
// as Windows would. Parts that do not exist are kept as written. Empty when the drive is not
// mapped or the path is not an absolute drive path.
std::string WindowsPathToLinux(const std::string& windowsPath, const std::string& prefix);

// A folder as a Windows program stored it in the registry, as a path of this system: a drive
// path goes through the user's Wine prefix; any other text is taken as it is.
std::string NativePathOfWindowsPath(const std::string& windowsPath);

}  // namespace qor::platform
