#include "platform/Trash.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/Text_win32.h"

namespace qor::platform {

std::string HomeTrashFolder() {
  return "";  // the recycle bin belongs to the shell, not to a folder of ours
}

bool MoveToTrash(const std::string& path) {
  if (path.empty()) return false;
  const std::wstring wide = Wide(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  // The shell keeps undo information for whole paths only.
  std::wstring full(::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
  if (full.empty()) return false;
  const DWORD length =
      ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return false;
  full.resize(length);
  // Where the drive keeps no recycle bin, the shell would delete the file for good without a
  // word; an older copy is never lost that way: without a bin, nothing goes.
  SHQUERYRBINFO bin{};
  bin.cbSize = sizeof bin;
  if (FAILED(::SHQueryRecycleBinW(full.c_str(), &bin))) return false;
  full.push_back(L'\0');  // the list of names ends with an empty one

  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = full.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  const int result = ::SHFileOperationW(&operation);
  // The shell may report success for a file it left in place.
  return result == 0 && !operation.fAnyOperationsAborted &&
         ::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace qor::platform
