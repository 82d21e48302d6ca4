#pragma once
// The rows of the folder list, as both windows show them: the chain of folders from the root
// down to the current one, each a step further in, then the current folder's subfolders one
// step further still, in the order of the system's collation (as the airport tree sorts).

#include <cstddef>
#include <string>
#include <vector>

namespace qor {

struct FolderRow {
  std::string text;   // the folder's name, or the root as the system writes it
  int depth = 0;      // how many steps in the row is drawn
  std::string path;   // the folder the row enters, ending in the path delimiter
  bool open = false;  // a folder of the chain (drawn open), not a subfolder
};

struct FolderRows {
  std::string folder;  // the current folder, ending in the path delimiter
  std::vector<FolderRow> rows;
  std::size_t current = 0;  // the current folder's row
};

// The rows of folder (made absolute, ending in the delimiter). An unreadable folder gives its
// chain without subfolders.
FolderRows ReadFolderRows(const std::string& folder);

}  // namespace qor
