#include "platform/File.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/Text_win32.h"
#include "text/PathText.h"

namespace qor::platform {

namespace {

// What one ReadFile or WriteFile call moves at most: its count is a DWORD.
constexpr std::size_t kMaxTransfer = 1u << 30;

HANDLE HandleOf(File::Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

std::string Quoted(const std::string& path) {
  return QuotedPath(path);
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// The open that every read-write use of a file makes: other programs may read and write it
// too, as the simulator's own tools do.
HANDLE OpenShared(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The byte every writer of the program locks: far past any data, so that the lock stops no read
// or write of the file's own bytes (Windows locks are mandatory).
constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;

// Reads until n bytes are in or the file ends; false when a read fails.
bool ReadFully(HANDLE handle, std::uint64_t offset, void* buffer, std::size_t n,
               std::size_t* done) {
  auto* out = static_cast<unsigned char*>(buffer);
  *done = 0;
  while (*done < n) {
    OVERLAPPED at = At(offset + *done);
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min(n - *done, kMaxTransfer));
    if (!::ReadFile(handle, out + *done, chunk, &got, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return false;
    }
    if (got == 0) break;  // end of file
    *done += got;
  }
  return true;
}

File::Stamp StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
  // FILETIME counts 100 ns steps from 1601; the stamp counts nanoseconds from 1970, as on Linux.
  constexpr std::int64_t kFrom1601To1970 = 116'444'736'000'000'000;
  const std::int64_t ticks =
      static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                info.ftLastWriteTime.dwLowDateTime);
  return File::Stamp{
      info.dwVolumeSerialNumber,
      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
      (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
      (ticks - kFrom1601To1970) * 100,
  };
}

std::optional<std::size_t> ReadStartOfOpened(HANDLE handle, void* out, std::size_t n) {
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::size_t> result;
  std::size_t got = 0;
  // A pipe or a device given a scenery file's name could stall the read. The attribute is
  // looked at too: under Wine the administrator opens read-only files for writing.
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info) &&
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0 &&
      ReadFully(handle, 0, out, n, &got)) {
    result = got;
  }
  ::CloseHandle(handle);
  return result;
}

// The attributes of an existing file that is no folder; raises the French error otherwise.
DWORD FileAttributesOf(const std::wstring& wide, const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    throw EInOutError(Tr("Impossible d'ouvrir le fichier %1 : %2.",
                         {Quoted(path), ReasonOfError(::GetLastError())}));
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw EInOutError(
        Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), Tr("c'est un dossier")}));
  }
  return attributes;
}

// The handle of a file just opened; raises the French error when the open failed.
File::Handle Checked(HANDLE handle, const std::string& path) {
  if (handle == INVALID_HANDLE_VALUE) {
    throw EInOutError(Tr("Impossible d'ouvrir le fichier %1 : %2.",
                         {Quoted(path), ReasonOfError(::GetLastError())}));
  }
  return reinterpret_cast<File::Handle>(handle);
}

}  // namespace

std::unique_ptr<File> File::OpenReadWrite(const std::string& path) {
  const std::wstring wide = Wide(path);
  if ((FileAttributesOf(wide, path) & FILE_ATTRIBUTE_READONLY) != 0) {
    throw EInOutError(Tr(
        "Impossible d'ouvrir le fichier %1 en écriture : il est en lecture seule (accès refusé).",
        {Quoted(path)}));
  }
  return std::unique_ptr<File>(new File(Checked(OpenShared(wide), path), path));
}

std::unique_ptr<File> File::OpenRead(const std::string& path) {
  const std::wstring wide = Wide(path);
  FileAttributesOf(wide, path);
  const HANDLE handle =
      ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return std::unique_ptr<File>(new File(Checked(handle, path), path));
}

std::unique_ptr<File> File::OpenOrCreate(const std::string& path) {
  const std::wstring wide = Wide(path);
  // Shared for deletion too: Windows gives the name to a new file (ReplaceFile) while another
  // process holds the old one open only when every holder of the old one allows it.
  const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // A folder refuses the open as access denied; the message says what it is instead.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw EInOutError(
          Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), Tr("c'est un dossier")}));
    }
    throw EInOutError(
        Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), ReasonOfError(error)}));
  }
  // A device's name (NUL, CON, a pipe) opens as well, but holds no file.
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    throw EInOutError(Tr("Impossible d'ouvrir le fichier %1 : %2.",
                         {Quoted(path), ReasonOfError(ERROR_BAD_FILE_TYPE)}));
  }
  return std::unique_ptr<File>(new File(reinterpret_cast<File::Handle>(handle), path));
}

std::optional<std::size_t> ReadStartOfFile(const std::string& path, void* out, std::size_t n) {
  // Opened as OpenReadWrite opens it: a file another program holds for itself is refused.
  return ReadStartOfOpened(OpenShared(Wide(path)), out, n);
}

std::optional<OpenFolder> OpenFolder::Open(const std::string& path) {
  // Windows opens files by their whole path: the folder is only checked and remembered.
  if (!FolderExists(path)) return std::nullopt;
  const bool delimited = kPathDelimiters.find(path.back()) != std::string_view::npos;
  return OpenFolder(-1, delimited ? path : path + kPathDelimiter);
}

OpenFolder::~OpenFolder() = default;

std::optional<std::size_t> ReadStartOfFile(const OpenFolder& folder, const std::string& name,
                                           void* out, std::size_t n) {
  // A name with a folder in it would leave the folder; an empty one would be the folder.
  if (name.empty() || name.find_first_of(kPathDelimiters) != std::string::npos) {
    return std::nullopt;
  }
  return ReadStartOfFile(folder.path_ + name, out, n);
}

File::~File() {
  ::CloseHandle(HandleOf(handle_));
}

std::uint64_t File::Size() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(HandleOf(handle_), &size)) {
    throw EInOutError(Tr("Impossible de connaître la taille du fichier %1 : %2.",
                         {Quoted(path_), ReasonOfError(::GetLastError())}));
  }
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const {
  std::size_t done = 0;
  if (!ReadFully(HandleOf(handle_), offset, buffer, n, &done)) {
    throw EInOutError(Tr("Erreur de lecture dans le fichier %1 : %2.",
                         {Quoted(path_), ReasonOfError(::GetLastError())}));
  }
  return done;
}

void File::WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) {
  std::size_t done = 0;
  const auto* in = static_cast<const unsigned char*>(buffer);
  while (done < n) {
    OVERLAPPED at = At(offset + done);
    DWORD put = 0;
    const auto chunk = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
    if (!::WriteFile(HandleOf(handle_), in + done, chunk, &put, &at)) {
      throw EInOutError(Tr("Erreur d'écriture dans le fichier %1 : %2.",
                           {Quoted(path_), ReasonOfError(::GetLastError())}));
    }
    if (put == 0) {
      throw EInOutError(Tr("Erreur d'écriture dans le fichier %1 : %2.",
                           {Quoted(path_), ReasonOfError(ERROR_DISK_FULL)}));
    }
    done += put;
  }
}

void File::Flush() {
  if (!::FlushFileBuffers(HandleOf(handle_))) {
    throw EInOutError(Tr("Impossible d'écrire sur le disque le fichier %1 : %2.",
                         {Quoted(path_), ReasonOfError(::GetLastError())}));
  }
}

bool File::Lock(std::chrono::milliseconds wait) {
  // Polled rather than blocking, so that the wait has an end.
  const auto until = std::chrono::steady_clock::now() + wait;
  for (;;) {
    OVERLAPPED at = At(kLockOffset);
    if (::LockFileEx(HandleOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                     0, &at)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      throw EInOutError(
          Tr("Impossible de réserver le fichier %1 : %2.", {Quoted(path_), ReasonOfError(error)}));
    }
    if (std::chrono::steady_clock::now() >= until) return false;
    ::Sleep(10);
  }
}

void File::Unlock() {
  OVERLAPPED at = At(kLockOffset);
  ::UnlockFileEx(HandleOf(handle_), 0, 1, 0, &at);
}

File::Stamp File::CurrentStamp() const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(HandleOf(handle_), &info)) {
    throw EInOutError(Tr("Impossible de lire l'état du fichier %1 : %2.",
                         {Quoted(path_), ReasonOfError(::GetLastError())}));
  }
  return StampOf(info);
}

std::optional<File::Stamp> StampOfPath(const std::string& path) {
  // No access asked: the stamp is read even while another program holds the file.
  const HANDLE handle =
      ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
  ::CloseHandle(handle);
  if (!known) return std::nullopt;
  return StampOf(info);
}

namespace {

// The attributes of what path names, through a link to its target; INVALID_FILE_ATTRIBUTES
// when there is nothing.
DWORD AttributesFollowingLinks(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return attributes;
  }
  const HANDLE handle =
      ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
  ::CloseHandle(handle);
  return known ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD attributes = AttributesFollowingLinks(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = AttributesFollowingLinks(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace qor::platform
