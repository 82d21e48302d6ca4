#pragma once
// What the first 16-bit word (little-endian) of a BGL file says of it: the format this program
// reads (FS2004, $0201), the older format (which holds no airports it reads, and is no damage),
// or a damaged file (any other word, or fewer than two bytes).

#include <cstdint>
#include <span>
#include <string>

namespace qor {

enum class HeaderKind { kReadable, kOlderFormat, kDamaged };
inline constexpr std::uint16_t kReadableHeader = 0x0201;
inline constexpr std::uint16_t kOlderHeader = 0x0001;

// The kind of a file that starts with these bytes (all that could be read of its first two).
HeaderKind HeaderKindOf(std::span<const unsigned char> start);

struct HeaderCheck {
  HeaderKind kind = HeaderKind::kDamaged;
  std::string message;  // for a damaged file: naming the file and the word found
};
// Raises EInOutError when the file cannot be opened or read.
HeaderCheck CheckHeader(const std::string& path);

}  // namespace qor
