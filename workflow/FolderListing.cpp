#include "workflow/FolderListing.h"

#include "bgl/Bgl.h"
#include "platform/Folder.h"
#include "util/FileUtil.h"

namespace qor {

FolderListing::FolderListing(const std::string& folder)
    : folder_(IncludeBackslash(folder)),
      names_(platform::ListFolderFiles(folder_, "bgl")),
      open_(platform::OpenFolder::Open(folder_)) {}

bool FolderListing::Step(Clock::time_point until, std::vector<std::string>& readable) {
  while (next_ < names_.size()) {
    const std::string& name = names_[next_++];
    if (open_ ? TBGL::CanRead(*open_, name) : TBGL::CanRead(folder_ + name)) {
      readable.push_back(name);
    }
    // A look at the clock costs far less than a file, and a file may be slow to open.
    if (Clock::now() >= until) break;
  }
  return next_ == names_.size();
}

std::vector<std::string> FolderListing::All() {
  std::vector<std::string> readable;
  Step(Clock::time_point::max(), readable);
  return readable;
}

}  // namespace qor
