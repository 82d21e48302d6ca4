#include "platform/Process.h"

#include <filesystem>
#include <system_error>

namespace qor::platform {

std::string ProgramFilePath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

}  // namespace qor::platform
