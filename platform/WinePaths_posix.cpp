#include "platform/WinePaths.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Folder.h"

namespace qor::platform {

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine";
}

std::string WindowsPathToLinux(const std::string& windowsPath, const std::string& prefix) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return "";
  const char drive = windowsPath[0];
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) return "";
  std::string path = prefix + "/dosdevices/" +
                     static_cast<char>(drive >= 'A' && drive <= 'Z' ? drive + 32 : drive) + ":";
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "";
  std::string part;
  auto append = [&] {
    if (part.empty()) return;
    const std::string found = FindNameIgnoringCase(path, part);
    path += "/" + (found.empty() ? part : found);
    part.clear();
  };
  for (std::size_t i = 2; i < windowsPath.size(); ++i) {
    const char c = windowsPath[i];
    if (c == '\\' || c == '/') {
      append();
    } else {
      part.push_back(c);
    }
  }
  append();
  return path;
}

std::string NativePathOfWindowsPath(const std::string& windowsPath) {
  if (windowsPath.size() >= 2 && windowsPath[1] == ':') {
    return WindowsPathToLinux(windowsPath, WinePrefix());
  }
  return windowsPath;
}

}  // namespace qor::platform
