#include "benchmarks/Reference.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

extern char** environ;

namespace qor::bench {

std::uint64_t PlainReadWhole(const std::string& path, std::vector<unsigned char>& buffer) {
  constexpr std::size_t kChunk = 64 * 1024;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  std::uint64_t total = 0;
  for (;;) {
    if (buffer.size() < total + kChunk) buffer.resize(total + kChunk);
    const ssize_t got = ::read(fd, buffer.data() + total, kChunk);
    if (got <= 0) break;
    total += static_cast<std::uint64_t>(got);
  }
  ::close(fd);
  return total;
}

int PlainReadTwoBytes(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  unsigned char bytes[2];
  const ssize_t got = ::read(fd, bytes, 2);
  ::close(fd);
  return got < 0 ? 0 : static_cast<int>(got);
}

bool RunProcess(const std::vector<std::string>& argv, int expectedStatus) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == expectedStatus;
}

std::uint64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0;
  std::uint64_t resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace qor::bench
