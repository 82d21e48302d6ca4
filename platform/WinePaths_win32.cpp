#include "platform/WinePaths.h"

namespace qor::platform {

// On Windows the simulator runs on the system itself: no prefix, no Linux side to map to.

std::string WinePrefix() {
  return std::string();
}

std::string WindowsPathToLinux(const std::string&, const std::string&) {
  return std::string();
}

std::string NativePathOfWindowsPath(const std::string& windowsPath) {
  return windowsPath;
}

}  // namespace qor::platform
