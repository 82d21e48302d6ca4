#include "platform/PathText.h"

#include <cstring>

namespace qor::platform {

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  char32_t min = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  char32_t cp = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(text[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = Utf8SequenceLength(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string ReadablePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size();) {
    const auto c = static_cast<unsigned char>(path[i]);
    const std::size_t n = Utf8SequenceLength(path, i);
    if (n > 1 || (n == 1 && c >= 0x20 && c != 0x7F)) {
      out.append(path.substr(i, n));
      i += n;
      continue;
    }
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
    ++i;
  }
  return out;
}

std::string QuotedPath(std::string_view path) {
  return "\"" + ReadablePath(path) + "\"";
}

char* WriteTerminalText(char* out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  if (text.empty()) return out;
  std::size_t run = 0;  // where the bytes not yet written begin
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      ++i;
      continue;
    }
    std::size_t n = 0;  // bytes of a C1 character
    if (c >= 0xA0) {
      const std::size_t length = Utf8SequenceLength(text, i);
      // A lead byte 0xC2 followed by 0x80 to 0x9F is a C1 character; anything else from 0xA0
      // up (a character, or a byte that is not UTF-8) goes out as it is.
      if (length != 2 || c != 0xC2 || static_cast<unsigned char>(text[i + 1]) >= 0xA0) {
        i += length == 0 ? 1 : length;
        continue;
      }
      n = 2;
    }
    std::memcpy(out, text.data() + run, i - run);
    out += i - run;
    *out++ = '\\';
    if (n == 2) {
      const auto code = static_cast<unsigned char>(text[i + 1]);
      std::memcpy(out, "u00", 3);
      out += 3;
      *out++ = kHex[code >> 4];
      *out++ = kHex[code & 0xF];
    } else if (c == '\n') {
      *out++ = 'n';
    } else if (c == '\t') {
      *out++ = 't';
    } else if (c == '\r') {
      *out++ = 'r';
    } else {
      *out++ = 'x';
      *out++ = kHex[c >> 4];
      *out++ = kHex[c & 0xF];
    }
    i += n == 2 ? 2 : 1;
    run = i;
  }
  std::memcpy(out, text.data() + run, text.size() - run);
  return out + (text.size() - run);
}

std::string TerminalText(std::string_view text) {
  std::string out(TerminalTextRoom(text.size()), '\0');
  out.resize(static_cast<std::size_t>(WriteTerminalText(out.data(), text) - out.data()));
  return out;
}

}  // namespace qor::platform
