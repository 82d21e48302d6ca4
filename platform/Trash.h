#pragma once
// The recycle bin. On Linux the user's home trash in the freedesktop.org layout, which the
// desktop's file managers list and restore from; on Windows the shell's own recycle bin.

#include <string>

namespace qor::platform {

// Linux: the home trash folder, $XDG_DATA_HOME/Trash when that variable holds an absolute
// path, else $HOME/.local/share/Trash; empty when neither is known. Windows: always empty, the
// recycle bin being no folder of ours.
std::string HomeTrashFolder();

// Moves the file at path (a link itself, not a folder) into the recycle bin; false when it
// fails or the file is still in its place.
// Linux: into the home trash, creating the trash and its files/ and info/ folders (mode 0700)
// when missing. The info file is written first; an entry of the same name already in the trash
// is kept and the new one gets a numbered name. A file on another file system than the trash
// is copied there, flushed, and then removed. On any failure the file stays where it was and
// the trash holds nothing new.
// Windows: the shell's delete with undo, asking nothing and showing nothing. Where the shell
// cannot keep a file in the bin (a drive without one, a file larger than the bin) it deletes
// it for good and reports success, as it does for every program that asks no question.
bool MoveToTrash(const std::string& path);

}  // namespace qor::platform
