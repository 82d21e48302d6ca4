#include "util/FileUtil.h"

#include <string_view>
#include <vector>

#include "platform/File.h"
#include "platform/FileOps.h"
#include "platform/Folder.h"
#include "platform/NameCase.h"
#include "platform/Trash.h"
#include "text/Trim.h"
#include "text/Utf8.h"

namespace qor {

namespace {

constexpr char kDelimiter = platform::kPathDelimiter;

// The characters of a UTF-8 text, each as its bytes (a stray byte stands alone).
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = NextCharStart(text, i);
    out.push_back(text.substr(i, end - i));
    i = end;
  }
  return out;
}

// On Windows two spellings that differ only in letter case name one file. Here they do so only
// on a file system that ignores case, so the spellings must also reach the very same file;
// otherwise they are two files and the copy is made.
bool SamePath(const std::string& a, const std::string& b) {
  if (a == b) return true;
  return platform::NtfsUpperCase(a) == platform::NtfsUpperCase(b) && platform::IsSameFile(a, b);
}

}  // namespace

namespace {

bool IsDelimiter(char c) {
  return platform::kPathDelimiters.find(c) != std::string_view::npos;
}

}  // namespace

std::string IncludeBackslash(const std::string& path) {
  if (!path.empty() && IsDelimiter(path.back())) return path;
  return path + kDelimiter;
}

std::string ExcludeBackslash(const std::string& path) {
  if (!path.empty() && IsDelimiter(path.back())) return path.substr(0, path.size() - 1);
  return path;
}

std::string ExtractFilePath(const std::string& path) {
  const std::size_t cut = path.find_last_of(platform::kPathDelimiters);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ExtractFileName(const std::string& path) {
  const std::size_t cut = path.find_last_of(platform::kPathDelimiters);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool StrEndsWith(const std::string& s, const std::string& suffix, bool caseSensitive) {
  if (caseSensitive) {
    return suffix.size() <= s.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
  }
  // Upper-casing keeps one code point per code point, so the tails line up.
  const std::u32string upperS = platform::NtfsUpperCase(s);
  const std::u32string upperSuffix = platform::NtfsUpperCase(suffix);
  return upperSuffix.size() <= upperS.size() &&
         upperS.compare(upperS.size() - upperSuffix.size(), upperSuffix.size(), upperSuffix) == 0;
}

bool OnlyChars(const std::string& allowed, const std::string& s) {
  const std::vector<std::string_view> set = Characters(allowed);
  for (const std::string_view c : Characters(s)) {
    bool found = false;
    for (const std::string_view a : set) {
      if (a == c) {
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

bool MakeDir(const std::string& path) {
  try {
    const std::string folder = ExcludeBackslash(std::string(Trim(path)));
    if (folder.empty()) return false;
    return platform::MakeFolders(folder, 0777);
  } catch (...) {
    return false;
  }
}

int ClearFileAttrs(const std::string& path) {
  return platform::ClearAttributes(path);
}

bool CopyFileTo(const std::string& source, const std::string& target, bool allowUndo) {
  try {
    if (!platform::FileExists(source)) return false;
    if (SamePath(source, target)) return true;
    if (platform::FileExists(target)) DeleteFileEx(target, allowUndo);
    // A target that could not be deleted is an older copy that must survive: the copy itself
    // never replaces a file.
    return platform::CopyFileFlushed(source, target);
  } catch (...) {
    return false;
  }
}

bool DeleteFileEx(const std::string& path, bool allowUndo) {
  if (!platform::FileExists(path)) return false;
  ClearFileAttrs(path);
  return allowUndo ? platform::MoveToTrash(path) : platform::RemoveFile(path);
}

}  // namespace qor
