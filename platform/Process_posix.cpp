#include "platform/Process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qor::platform {

std::string ProgramFilePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::optional<std::array<int, 4>> VersionResourceOf(const std::string&) {
  return std::nullopt;  // ELF files carry no version resource
}

std::string CurrentFolder() {
  std::error_code ec;
  std::string folder = std::filesystem::current_path(ec).string();
  if (ec || folder.empty()) return {};
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::filesystem::path p(path);
  if (p.is_relative()) p = std::filesystem::path(CurrentFolder()) / p;
  return p.lexically_normal().string();
}

std::string UserRuntimeFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
    std::string folder = runtime;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      if (folder.back() != '/') folder += '/';
      return folder;
    }
  }
  // A folder that someone else made, or that others may enter, would let them take the socket.
  std::error_code ec;
  const std::string folder =
      (std::filesystem::temp_directory_path(ec) / ("qorbgl-" + std::to_string(::getuid())))
          .string();
  if (ec) return {};
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
      (st.st_mode & 0077) != 0) {
    return {};
  }
  return folder + "/";
}

}  // namespace qor::platform
