#include "tests/support/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace qor::test {

TempFolder::TempFolder() {
  // A name no other test takes: creating the folder is the test of that.
  static std::mt19937_64 random{std::random_device{}()};
  const std::filesystem::path temp = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = temp / ("qorbgl-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      const std::u8string utf8 = candidate.u8string();
      path_.assign(utf8.begin(), utf8.end());
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made");
}

TempFolder::~TempFolder() {
  // Whatever a test made read-only is made writable again: Windows removes no read-only file.
  std::error_code ec;
  const std::filesystem::path root = Utf8Path(path_);
  std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  // A child process's console host may hold its output files a moment after the child ends:
  // Windows removes no open file, so the removal is tried again for a while.
  for (int attempt = 0; attempt < 40; ++attempt) {
    std::filesystem::remove_all(root, ec);
    if (!std::filesystem::exists(root, ec)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::filesystem::path Utf8Path(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(Utf8Path(path), std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace qor::test
