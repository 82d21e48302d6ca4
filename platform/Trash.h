#pragma once
// The recycle bin: the user's home trash in the freedesktop.org layout, which the desktop's
// file managers list and restore from.

#include <string>

namespace qor::platform {

// The home trash folder: $XDG_DATA_HOME/Trash when that variable holds an absolute path, else
// $HOME/.local/share/Trash; empty when neither is known.
std::string HomeTrashFolder();

// Moves the file at path (a link itself, not a folder) into the home trash, creating the trash
// and its files/ and info/ folders (mode 0700) when missing. The info file is written first; an
// entry of the same name already in the trash is kept and the new one gets a numbered name. A
// file on another file system than the trash is copied there, flushed, and then removed. On
// any failure the file stays where it was, the trash holds nothing new, and the result is
// false.
bool MoveToTrash(const std::string& path);

}  // namespace qor::platform
