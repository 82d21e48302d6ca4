#include "text/CollationKeys.h"

#include <algorithm>

namespace qor {

// A key begins with the letters' weights of its text, one character after the other, ended by
// the byte 1 (ICU's keys and Windows' alike; no weight byte is ever 0 or 1 in ICU's, and in
// Windows' a weight byte of 1 would only end the part early). That part of a text's key
// begins the same part of the key of every text that goes on from it, but for its last byte,
// which may close a run of weights the next character continues.
KeyPrefix KeyPrefixOf(std::string_view key) {
  KeyPrefix prefix{};
  for (std::size_t i = 0; i < 16; ++i) {
    const unsigned byte = i < key.size() ? static_cast<unsigned char>(key[i]) : 0u;
    prefix[i / 8] = prefix[i / 8] << 8 | byte;
  }
  return prefix;
}

std::string_view KeyLetters(std::string_view key) {
  return key.substr(0, key.find('\x01'));
}

int CompareLetters(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  if (common < 2) return 0;
  const auto [x, y] = std::mismatch(a.begin(), a.begin() + (common - 1), b.begin());
  if (x == a.begin() + (common - 1)) return 0;
  return static_cast<unsigned char>(*x) < static_cast<unsigned char>(*y) ? -1 : 1;
}

}  // namespace qor
