#include "platform/Folder.h"

#include <windows.h>

#include <algorithm>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/NameCase.h"
#include "platform/Text_win32.h"
#include "text/PathText.h"

namespace qor::platform {

namespace {

std::string WithDelimiter(const std::string& folder) {
  if (folder.empty() || kPathDelimiters.find(folder.back()) != std::string_view::npos) {
    return folder;
  }
  return folder + kPathDelimiter;
}

bool HasExtension(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size() + 1) return false;
  if (name[name.size() - extension.size() - 1] != '.') return false;
  return SameNameIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

// Hands each entry that pattern matches to visit, in the order the system gives them. Returns
// the error that ended the search: ERROR_NO_MORE_FILES when it went through,
// ERROR_FILE_NOT_FOUND when nothing matched.
template <typename Visit>
DWORD ForEachEntry(const std::string& pattern, Visit visit) {
  WIN32_FIND_DATAW entry{};
  const HANDLE search =
      ::FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return ::GetLastError();
  DWORD end = ERROR_NO_MORE_FILES;
  for (;;) {
    visit(entry);
    if (!::FindNextFileW(search, &entry)) {
      end = ::GetLastError();
      break;
    }
  }
  ::FindClose(search);
  return end;
}

}  // namespace

std::vector<std::string> ListFolderFiles(const std::string& folder, std::string_view extension) {
  const std::string prefix = WithDelimiter(folder);
  std::vector<std::string> names;
  DWORD end = ERROR_PATH_NOT_FOUND;
  if (!folder.empty()) {
    end = ForEachEntry(prefix + "*." + std::string(extension), [&](const WIN32_FIND_DATAW& entry) {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
      std::string name = Utf8(entry.cFileName);
      // The pattern matches the 8.3 short names too: "*.bgl" finds "x.bglx" by "X~1.BGL".
      if (!HasExtension(name, extension)) return;
      // A link counts as the file it leads to.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
          !FileExists(prefix + name)) {
        return;
      }
      names.push_back(std::move(name));
    });
  }
  if (end == ERROR_NO_MORE_FILES) return names;
  if (end == ERROR_FILE_NOT_FOUND) {
    if (FolderExists(folder)) return names;  // a folder without such files
    end = ERROR_PATH_NOT_FOUND;
  }
  throw EInOutError(
      Tr("Impossible de lire le dossier %1 : %2.", {QuotedPath(folder), ReasonOfError(end)}));
}

FolderState ProbeFolder(const std::string& folder, std::string& reason) {
  if (folder.empty()) return FolderState::kMissing;
  WIN32_FIND_DATAW entry{};
  const HANDLE search =
      ::FindFirstFileExW(Wide(WithDelimiter(folder) + "*").c_str(), FindExInfoBasic, &entry,
                         FindExSearchNameMatch, nullptr, 0);
  if (search != INVALID_HANDLE_VALUE) {
    ::FindClose(search);
    return FolderState::kReadable;
  }
  const DWORD error = ::GetLastError();
  // An empty drive root has no entry at all, not even ".".
  if (error == ERROR_FILE_NOT_FOUND && FolderExists(folder)) return FolderState::kReadable;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY ||
      error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH) {
    return FolderState::kMissing;
  }
  reason = ReasonOfError(error);
  return FolderState::kUnreadable;
}

std::vector<std::string> DriveRoots() {
  std::wstring buffer;
  for (;;) {
    const DWORD needed =
        ::GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (needed == 0) return {};
    if (needed < buffer.size()) {
      buffer.resize(needed);
      break;
    }
    buffer.assign(needed + 1, L'\0');  // a drive may have come in the meantime
  }
  std::vector<std::string> roots;
  for (std::size_t start = 0; start < buffer.size();) {
    const std::size_t end = std::min(buffer.find(L'\0', start), buffer.size());
    const std::wstring root = buffer.substr(start, end - start);
    if (!root.empty() && ::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR) {
      roots.push_back(Utf8(root));
    }
    start = end + 1;
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

std::vector<std::string> FolderEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  ForEachEntry(WithDelimiter(folder) + "*", [&](const WIN32_FIND_DATAW& entry) {
    const std::wstring_view name = entry.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8(name));
  });
  return names;
}

}  // namespace qor::platform
