#include "platform/Process.h"

#include <filesystem>
#include <system_error>

namespace qor::platform {

std::string ProgramFilePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
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

}  // namespace qor::platform
