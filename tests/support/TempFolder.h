#pragma once
#include <filesystem>
#include <string>

#include "platform/File.h"

namespace qor::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a file inside the folder.
  std::string operator/(const std::string& name) const {
    return path_ + platform::kPathDelimiter + name;
  }

 private:
  std::string path_;
};

// A path given in UTF-8, as the program's paths are, for the standard library's files: Windows
// would read a narrow path in its ANSI code page.
std::filesystem::path Utf8Path(const std::string& path);

// A file's whole content as text, and back (an unreadable file reads as empty).
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

}  // namespace qor::test
