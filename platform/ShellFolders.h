#pragma once
#include <string>

namespace qor::platform {

// The user's desktop folder, ending in the path delimiter: the XDG desktop directory of
// $XDG_CONFIG_HOME/user-dirs.dirs (as `xdg-user-dir DESKTOP` gives it), else $HOME/Desktop.
std::string UserDesktopFolder();

// The user's local application-data folder, ending in the path delimiter: $XDG_DATA_HOME when
// it is an absolute path, else $HOME/.local/share.
std::string UserLocalAppDataFolder();

}  // namespace qor::platform
