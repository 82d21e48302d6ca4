#include "platform/Process.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

// A path the system writes into a buffer of the caller's size, with the given call: the call
// answers the size it needs when the buffer is too small, zero on failure.
template <class Call>
std::string PathFromSystem(Call call) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD got = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got == 0) return std::string();
    if (got < buffer.size()) return Utf8(std::wstring_view(buffer.data(), got));
    buffer.assign(got, L'\0');  // got counts the terminating zero then
  }
  return std::string();
}

std::string WithDelimiter(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

std::string ProgramFilePath() {
  // GetModuleFileNameW answers the buffer's full size when it cut the path short, not the size
  // it needs: the buffer grows until the path fits, up to the longest path there is.
  for (std::wstring buffer(MAX_PATH, L'\0'); buffer.size() <= 65536;
       buffer.assign(buffer.size() * 2, L'\0')) {
    const DWORD got =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got == 0) return std::string();
    if (got < buffer.size()) return Utf8(std::wstring_view(buffer.data(), got));
  }
  return std::string();
}

std::optional<std::array<int, 4>> VersionResourceOf(const std::string& path) {
  const std::wstring file = Wide(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  void* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &fixed, &length) || fixed == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  if (info->dwSignature != 0xFEEF04BD) return std::nullopt;
  return std::array<int, 4>{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                            HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

std::string CurrentFolder() {
  return WithDelimiter(PathFromSystem(
      [](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); }));
}

// The running window hands a second start over through its window class and a global atom:
// no socket, hence no folder for one.
std::string UserRuntimeFolder() {
  return std::string();
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  const std::wstring wide = Wide(path);
  if (wide.find(L'\0') != std::wstring::npos) return std::string();
  return PathFromSystem([&](wchar_t* buffer, DWORD size) {
    return ::GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
}

}  // namespace qor::platform
