#pragma once
// The BGL files of a folder that cannot be read, and why: each is read whole, as the window
// reads it, but never opened for writing, so that a read-only file is no damaged one.

#include <cstddef>
#include <string>
#include <vector>

namespace qor::library {

struct UnreadableFile {
  std::string name;          // in the folder
  bool olderFormat = false;  // of the older format ($0001): not read, but not damaged either
  std::string message;
};

struct DamageScan {
  std::size_t checked = 0;            // the BGL files examined
  std::vector<UnreadableFile> files;  // in the folder's listing order
  bool damaged = false;               // one of them is damaged (not merely of the older format)
};

// folder ends in the path delimiter. Raises when the folder cannot be listed.
DamageScan ScanForDamage(const std::string& folder);

}  // namespace qor::library
