#pragma once
// Where a Windows program installed under Wine keeps its files, seen from Linux. On Windows
// the program runs on the system itself: there is no prefix and no Linux side, and a Windows
// path is already a path of the system.

#include <string>

namespace qor::platform {

// The Wine prefix of the user: $WINEPREFIX, else ~/.wine. On Windows "".
std::string WinePrefix();

// The Linux path of a Windows path such as "C:\Program Files\FS9" inside a Wine prefix: the
// drive through the prefix's dosdevices, then each part of the path matched in any letter case
// as Windows would. Parts that do not exist are kept as written. Empty when the drive is not
// mapped or the path is not an absolute drive path; always empty on Windows.
std::string WindowsPathToLinux(const std::string& windowsPath, const std::string& prefix);

// A folder as a Windows program stored it in the registry, as a path of this system: on Linux
// a drive path goes through the user's Wine prefix and any other text is taken as it is; on
// Windows every path is taken as it is.
std::string NativePathOfWindowsPath(const std::string& windowsPath);

}  // namespace qor::platform
