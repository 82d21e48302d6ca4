#pragma once
#include <string>

namespace qor::platform {

// The user's desktop folder, ending in the path delimiter. On Windows the known folder
// FOLDERID_Desktop ("" when the system cannot give it); on Linux the XDG desktop directory of
// $XDG_CONFIG_HOME/user-dirs.dirs (as `xdg-user-dir DESKTOP` gives it), else $HOME/Desktop.
std::string UserDesktopFolder();

// The user's local application-data folder, ending in the path delimiter. On Windows the known
// folder FOLDERID_LocalAppData ("" when the system cannot give it); on Linux $XDG_DATA_HOME
// when it is an absolute path, else $HOME/.local/share.
std::string UserLocalAppDataFolder();

}  // namespace qor::platform
