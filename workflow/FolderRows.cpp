#include "workflow/FolderRows.h"

#include <algorithm>

#include "platform/Collation.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/Process.h"
#include "util/FileUtil.h"

namespace qor {

FolderRows ReadFolderRows(const std::string& given) {
  FolderRows result;
  result.folder = IncludeBackslash(platform::AbsolutePath(given));
  // The chain, from the folder up to its root: the root is the path that has no parent left.
  std::vector<std::string> chain;
  for (std::string path = result.folder;;) {
    chain.push_back(path);
    const std::string parent = ExtractFilePath(ExcludeBackslash(path));
    if (parent.empty() || parent == path) break;
    path = parent;
  }
  std::reverse(chain.begin(), chain.end());
  int depth = 0;
  for (const std::string& path : chain) {
    std::string text = depth == 0 ? path : ExtractFileName(ExcludeBackslash(path));
    result.rows.push_back({std::move(text), depth++, path, true});
  }
  result.current = result.rows.size() - 1;

  std::vector<std::string> subfolders;
  for (std::string& name : platform::FolderEntryNames(result.folder)) {
    if (name != "." && name != ".." && platform::FolderExists(result.folder + name)) {
      subfolders.push_back(std::move(name));
    }
  }
  std::sort(subfolders.begin(), subfolders.end(), [](const std::string& a, const std::string& b) {
    const int c = platform::CompareText(a, b);
    return c != 0 ? c < 0 : a < b;  // names equal to the collator still in one order
  });
  for (std::string& name : subfolders) {
    std::string path = result.folder + name + platform::kPathDelimiter;
    result.rows.push_back({std::move(name), depth, std::move(path), false});
  }
  return result;
}

}  // namespace qor
