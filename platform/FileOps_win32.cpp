#include "platform/FileOps.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Text_win32.h"

// windows.h makes ReplaceFile a name for its own ReplaceFileW; ours is the one FileOps.h declares.
#undef ReplaceFile

namespace qor::platform {

namespace {

bool IsDelimiter(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// "C:\" and "\" are whole roots: their delimiter is no trailing one.
bool IsRoot(const std::wstring& path) {
  return (path.size() == 1 && IsDelimiter(path[0])) ||
         (path.size() == 3 && path[1] == L':' && IsDelimiter(path[2]));
}

std::wstring WithoutTrailingDelimiters(std::wstring path) {
  while (path.size() > 1 && IsDelimiter(path.back()) && !IsRoot(path)) path.pop_back();
  return path;
}

// The folder holding path: "" for a bare name, the root for a name in a root.
std::wstring ParentOf(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return L"";
  return WithoutTrailingDelimiters(path.substr(0, cut + 1));
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Closes now and reports whether the system accepted it.
  bool Close() {
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return ::CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

// Opens what path names for its identity only, files and folders alike, whoever holds it.
HANDLE OpenForInformation(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool WriteAll(HANDLE out, const char* data, DWORD n) {
  while (n > 0) {
    DWORD put = 0;
    if (!::WriteFile(out, data, n, &put, nullptr) || put == 0) return false;
    data += put;
    n -= put;
  }
  return true;
}

bool CopyBytes(HANDLE in, HANDLE out) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return false;
    }
    if (got == 0) return true;
    if (!WriteAll(out, buffer.data(), got)) return false;
  }
}

// The parts of a file that hold data, in order, from the system that keeps the file sparse;
// nothing when it cannot tell.
std::optional<std::vector<FILE_ALLOCATED_RANGE_BUFFER>> AllocatedRanges(HANDLE file,
                                                                        LONGLONG size) {
  std::vector<FILE_ALLOCATED_RANGE_BUFFER> ranges;
  FILE_ALLOCATED_RANGE_BUFFER query{};
  query.Length.QuadPart = size;
  FILE_ALLOCATED_RANGE_BUFFER found[64];
  while (query.Length.QuadPart > 0) {
    DWORD bytes = 0;
    const bool all = ::DeviceIoControl(file, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query,
                                       found, sizeof found, &bytes, nullptr) != 0;
    const std::size_t n = bytes / sizeof found[0];
    if (!all && (::GetLastError() != ERROR_MORE_DATA || n == 0)) return std::nullopt;
    ranges.insert(ranges.end(), found, found + n);
    if (all) break;
    const LONGLONG next = found[n - 1].FileOffset.QuadPart + found[n - 1].Length.QuadPart;
    query.FileOffset.QuadPart = next;
    query.Length.QuadPart = size - next;
  }
  return ranges;
}

// Makes out a sparse file where its volume allows it; false otherwise.
bool MakeSparse(HANDLE out) {
  DWORD flags = 0;
  DWORD bytes = 0;
  return ::GetVolumeInformationByHandleW(out, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_SUPPORTS_SPARSE_FILES) != 0 &&
         ::DeviceIoControl(out, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr);
}

// Copies the ranges of in that hold data to the same offsets of the sparse file out, whose
// other parts stay holes, and gives out the length size.
bool CopyRanges(HANDLE in, HANDLE out, const std::vector<FILE_ALLOCATED_RANGE_BUFFER>& ranges,
                LONGLONG size) {
  std::vector<char> buffer(1 << 16);
  for (const FILE_ALLOCATED_RANGE_BUFFER& range : ranges) {
    LONGLONG at = range.FileOffset.QuadPart;
    const LONGLONG end = std::min(at + range.Length.QuadPart, size);
    while (at < end) {
      const auto n = static_cast<DWORD>(std::min<LONGLONG>(end - at, buffer.size()));
      OVERLAPPED from{};
      from.Offset = static_cast<DWORD>(at);
      from.OffsetHigh = static_cast<DWORD>(at >> 32);
      OVERLAPPED to = from;
      DWORD got = 0;
      DWORD put = 0;
      // A read that comes back short: the file shrank meanwhile, there is no whole copy.
      if (!::ReadFile(in, buffer.data(), n, &got, &from) || got == 0 ||
          !::WriteFile(out, buffer.data(), got, &put, &to) || put != got) {
        return false;
      }
      at += got;
    }
  }
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = size;
  return ::SetFileInformationByHandle(out, FileEndOfFileInfo, &end, sizeof end) != 0;
}

// A new file of a name no one uses beside the target; a short name, since the target's own
// may already use the whole length a name may have.
HANDLE CreateTemporary(const std::wstring& folder, std::wstring* name) {
  static LONG counter = 0;
  const DWORD process = ::GetCurrentProcessId();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::uint64_t tag = (std::uint64_t{process} << 32) ^ ::GetTickCount64() ^
                              static_cast<std::uint64_t>(::InterlockedIncrement(&counter));
    wchar_t hex[17];
    for (int i = 0; i < 16; ++i) hex[i] = L"0123456789abcdef"[(tag >> (60 - 4 * i)) & 0xF];
    hex[16] = L'\0';
    *name = folder + L".qorbgl-copy-" + hex;
    const HANDLE handle = ::CreateFileW(name->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return INVALID_HANDLE_VALUE;
}

// FILE_RENAME_INFO as Windows 10 reads it for FileRenameInfoEx (class 22): flags where the
// older form has its boolean. mingw-w64's headers hide the class behind a version test that no
// _WIN32_WINNT passes, and show the flags only by chance.
struct RenameInfoEx {
  DWORD flags;
  HANDLE rootDirectory;
  DWORD fileNameLength;
  WCHAR fileName[1];
};
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

// Gives from the name to in one step, replacing a file that others hold open as Linux does
// (Windows 10 and later, where every holder shares deletion); false where the system refuses
// that rename (older systems, FAT volumes, Wine) or the rename fails.
bool RenameOverOpenFile(const std::wstring& from, const std::wstring& to) {
  // The new name whole: the system resolves no name relative to the working folder here.
  const DWORD length = ::GetFullPathNameW(to.c_str(), 0, nullptr, nullptr);
  if (length == 0) return false;
  std::wstring full(length, L'\0');
  const DWORD used = ::GetFullPathNameW(to.c_str(), length, full.data(), nullptr);
  if (used == 0 || used >= length) return false;
  full.resize(used);
  Handle file(::CreateFileW(from.c_str(), DELETE | GENERIC_WRITE | SYNCHRONIZE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const std::size_t nameBytes = full.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(RenameInfoEx) + nameBytes);
  auto* rename = reinterpret_cast<RenameInfoEx*>(buffer.data());
  rename->flags = kRenameReplaceIfExists | kRenamePosixSemantics;
  rename->rootDirectory = nullptr;
  rename->fileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(buffer.data() + offsetof(RenameInfoEx, fileName), full.data(), nameBytes);
  if (!::SetFileInformationByHandle(file.get(), kFileRenameInfoEx, rename,
                                    static_cast<DWORD>(buffer.size()))) {
    return false;
  }
  // The file's flush writes its record, new name included, to the volume's journal.
  ::FlushFileBuffers(file.get());
  return true;
}

void TakeBack(const std::vector<std::string>& made) {
  for (auto it = made.rbegin(); it != made.rend(); ++it) ::RemoveDirectoryW(Wide(*it).c_str());
}

}  // namespace

bool MakeFolders(const std::string& folder, unsigned /*mode*/, std::vector<std::string>* made) {
  if (folder.empty()) return false;
  std::vector<std::wstring> missing;  // innermost first
  std::wstring path = WithoutTrailingDelimiters(Wide(folder));
  while (!path.empty()) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
      break;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
    missing.push_back(path);
    const std::wstring parent = ParentOf(path);
    if (parent == path) break;
    path = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (::CreateDirectoryW(it->c_str(), nullptr)) {
      if (made != nullptr) made->push_back(Utf8(*it));
    } else {
      // Another program may have made it in the meantime.
      const DWORD attributes = ::GetFileAttributesW(it->c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
      }
    }
  }
  return true;
}

bool CopyFileFlushed(const std::string& source, const std::string& target) {
  Handle in(::CreateFileW(Wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!in.valid() || ::GetFileType(in.get()) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandle(in.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }

  const std::wstring targetPath = Wide(target);
  if (targetPath.empty() || IsDelimiter(targetPath.back())) return false;
  const std::size_t cut = targetPath.find_last_of(L"\\/");
  const std::wstring folder = cut == std::wstring::npos ? L"" : targetPath.substr(0, cut + 1);
  std::vector<std::string> made;
  if (!folder.empty() && !MakeFolders(Utf8(folder), 0777, &made)) {
    TakeBack(made);
    return false;
  }

  std::wstring temporary;
  Handle out(CreateTemporary(folder, &temporary));
  if (!out.valid()) {
    TakeBack(made);
    return false;
  }
  // The copy keeps the source's time of change and read-only attribute, as the shell's copy
  // does; both are set through the open handle, before the flush.
  FILE_BASIC_INFO basic{};
  basic.LastWriteTime.LowPart = info.ftLastWriteTime.dwLowDateTime;
  basic.LastWriteTime.HighPart = static_cast<LONG>(info.ftLastWriteTime.dwHighDateTime);
  basic.FileAttributes = info.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  // A sparse source gives a sparse copy where the system can tell its holes and keep them;
  // anything refused on the way (Wine refuses it all) leaves the copy of every byte.
  const LONGLONG size =
      static_cast<LONGLONG>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  std::optional<std::vector<FILE_ALLOCATED_RANGE_BUFFER>> ranges;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0) {
    ranges = AllocatedRanges(in.get(), size);
    if (ranges && !MakeSparse(out.get())) ranges.reset();
  }
  const bool written =
      (ranges ? CopyRanges(in.get(), out.get(), *ranges, size) : CopyBytes(in.get(), out.get())) &&
      ::SetFileInformationByHandle(out.get(), FileBasicInfo, &basic, sizeof basic) &&
      ::FlushFileBuffers(out.get());
  // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
  if (!out.Close() || !written ||
      !::MoveFileExW(temporary.c_str(), Wide(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
    ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(temporary.c_str());
    TakeBack(made);
    return false;
  }
  return true;
}

bool RenameFile(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING an existing `to` makes the move fail.
  return ::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  const std::wstring source = Wide(from);
  const std::wstring target = Wide(to);
  // The older move refuses to replace a file that is open, whatever its holders share.
  return RenameOverOpenFile(source, target) ||
         ::MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::optional<std::string> RealPath(const std::string& path) {
  Handle handle(OpenForInformation(Wide(path)));
  if (!handle.valid()) return std::nullopt;
  // The final path: links followed, every name as stored (letter case, long names).
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(handle.get(), name.data(), static_cast<DWORD>(name.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::nullopt;
    const bool fits = n < name.size();
    name.resize(n);  // too small: n counts the terminating null as well
    if (fits) break;
  }
  // The system names it "\\?\C:\..." or "\\?\UNC\server\share\..."; the user reads it without
  // the prefix, as one types it.
  constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
  constexpr std::wstring_view kLong = L"\\\\?\\";
  if (std::wstring_view(name).substr(0, kUnc.size()) == kUnc) {
    name.replace(0, kUnc.size(), L"\\\\");
  } else if (std::wstring_view(name).substr(0, kLong.size()) == kLong) {
    name.erase(0, kLong.size());
  }
  return Utf8(name);
}

bool IsSameFile(const std::string& a, const std::string& b) {
  Handle first(OpenForInformation(Wide(a)));
  Handle second(OpenForInformation(Wide(b)));
  BY_HANDLE_FILE_INFORMATION infoA{};
  BY_HANDLE_FILE_INFORMATION infoB{};
  return first.valid() && second.valid() && ::GetFileInformationByHandle(first.get(), &infoA) &&
         ::GetFileInformationByHandle(second.get(), &infoB) &&
         infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

bool RemoveFile(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  // Windows refuses to delete a read-only file, where Linux removes it.
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) ::SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if (::DeleteFileW(wide.c_str())) return true;
  if (readOnly) ::SetFileAttributesW(wide.c_str(), attributes);
  return false;
}

int FileAttributes(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return -1;
  }
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? kAttrReadOnly : 0;
}

int ClearAttributes(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return 0;
  }
  const DWORD rest = attributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
  ::SetFileAttributesW(wide.c_str(), rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL);
  return kAttrReadOnly;
}

}  // namespace qor::platform
