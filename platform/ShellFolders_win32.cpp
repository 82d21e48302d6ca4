#include "platform/ShellFolders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(id, 0, nullptr, &path);
  std::string folder;
  try {
    if (SUCCEEDED(result) && path != nullptr) folder = Utf8(path);
  } catch (...) {
    folder.clear();
  }
  ::CoTaskMemFree(path);  // the system allocates it even when the call fails
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

std::string UserDesktopFolder() {
  return KnownFolder(FOLDERID_Desktop);
}

std::string UserLocalAppDataFolder() {
  return KnownFolder(FOLDERID_LocalAppData);
}

}  // namespace qor::platform
