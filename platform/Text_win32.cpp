#include "platform/Text_win32.h"

#include <windows.h>

#include "lang/Tr.h"
#include "text/Utf16.h"

namespace qor::platform {

// wchar_t is Windows' UTF-16 unit: the texts go through the one conversion of text/Utf16.h.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Wide(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8, NotUtf8::kReplace);
  return std::wstring(units.begin(), units.end());
}

std::string Utf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()), NotUtf8::kReplace);
}

std::string ReasonOfError(unsigned long error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return Tr("accès refusé");
    case ERROR_FILE_NOT_FOUND:
      return Tr("fichier introuvable");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return Tr("chemin invalide");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Tr("fichier utilisé par un autre programme");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Tr("disque plein");
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
      return Tr("erreur d'entrée-sortie du disque");
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = n > 0 ? Utf8(std::wstring_view(text, n)) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason.empty() ? Tr("erreur %1 du système", {std::to_string(error)}) : reason;
}

}  // namespace qor::platform
