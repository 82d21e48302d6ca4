#include <string>

#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/NameCase.h"

namespace qor::platform {

std::string FindNameIgnoringCase(const std::string& folder, const std::string& name) {
  // The entry's own spelling, which a system that ignores case would not give back.
  const std::vector<std::string> entries = FolderEntryNames(folder);
  for (const std::string& entry : entries) {
    if (entry == name) return entry;
  }
  for (const std::string& entry : entries) {
    if (SameNameIgnoringCase(entry, name)) return entry;
  }
  return "";
}

std::string DriveRootOf(const std::string& path, const std::vector<std::string>& roots) {
  std::string best;
  for (const std::string& root : roots) {
    const bool holds =
        path.size() >= root.size() && SameNameIgnoringCase(path.substr(0, root.size()), root);
    // "C:\\" holds "C:" as well.
    const bool isRoot =
        path.size() + 1 == root.size() && SameNameIgnoringCase(path, root.substr(0, path.size()));
    if ((holds || isRoot) && root.size() > best.size()) best = root;
  }
  return best;
}

}  // namespace qor::platform
