#include "benchmarks/Reference.h"

#include <fcntl.h>
#include <unistd.h>

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

}  // namespace qor::bench
