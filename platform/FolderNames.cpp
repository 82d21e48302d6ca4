#include <string>

#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/NameCase.h"

namespace qor::platform {

std::string FindNameIgnoringCase(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (!path.empty() && kPathDelimiters.find(path.back()) == std::string_view::npos) {
    path += kPathDelimiter;
  }
  if (FileExists(path + name) || FolderExists(path + name)) return name;
  for (const std::string& entry : FolderEntryNames(folder)) {
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
