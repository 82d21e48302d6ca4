#pragma once
#include <string>

namespace qor::platform {

// The user's desktop folder, ending in the path delimiter: the XDG desktop directory of
// $XDG_CONFIG_HOME/user-dirs.dirs (as `xdg-user-dir DESKTOP` gives it), else $HOME/Desktop.
std::string UserDesktopFolder();

}  // namespace qor::platform
