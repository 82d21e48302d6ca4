#pragma once
// The file list of a folder: its ".bgl" files (in any letter case) that the BGL library reads,
// in the order the folder gives them. A folder of thousands of files is examined a step at a
// time, so that a window can repaint and take the user's choices between two steps.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"

namespace qor {

class FolderListing {
 public:
  using Clock = std::chrono::steady_clock;

  // Reads the folder's names. Raises EInOutError when the folder cannot be read.
  explicit FolderListing(const std::string& folder);

  // Examines files until the time comes or every file is examined, appending the names of the
  // readable ones to readable. True when every file has been examined.
  bool Step(Clock::time_point until, std::vector<std::string>& readable);
  // Examines every file.
  std::vector<std::string> All();

  // The folder, ending in the path delimiter.
  const std::string& Folder() const { return folder_; }
  std::size_t Examined() const { return next_; }
  std::size_t Total() const { return names_.size(); }

 private:
  std::string folder_;
  std::vector<std::string> names_;
  std::size_t next_ = 0;
  // Each file is opened by its name in the folder held open (by its whole path if the folder
  // cannot be held): the system then walks the folder's path once, not once per file.
  std::optional<platform::OpenFolder> open_;
};

}  // namespace qor
