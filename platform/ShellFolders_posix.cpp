#include "platform/ShellFolders.h"

#include <cstdlib>
#include <fstream>

namespace qor::platform {

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// The value of XDG_DESKTOP_DIR="..." in user-dirs.dirs, with $HOME expanded; empty if absent.
std::string DesktopFromUserDirs(const std::string& home) {
  std::ifstream in(EnvOr("XDG_CONFIG_HOME", home + "/.config") + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DESKTOP_DIR=\"";
    if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return "";
}

}  // namespace

std::string UserDesktopFolder() {
  const std::string home = EnvOr("HOME", "/");
  std::string desktop = DesktopFromUserDirs(home);
  if (desktop.empty()) desktop = home + "/Desktop";
  if (desktop.back() != '/') desktop += '/';
  return desktop;
}

std::string UserLocalAppDataFolder() {
  std::string folder = EnvOr("XDG_DATA_HOME", "");
  if (folder.empty() || folder.front() != '/') folder = EnvOr("HOME", "/") + "/.local/share";
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace qor::platform
