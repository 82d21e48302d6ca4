#include "text/PathText.h"

#include <cstring>

#include "text/Hex.h"
#include "text/Utf8.h"

namespace qor {

std::string ReadablePath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size();) {
    const auto c = static_cast<unsigned char>(path[i]);
    const Utf8Char ch = DecodeUtf8(path, i);
    if (ch.valid && (ch.size > 1 || (c >= 0x20 && c != 0x7F))) {
      out.append(path.substr(i, ch.size));
      i += ch.size;
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
      out.push_back(UpperHexDigit(c >> 4));
      out.push_back(UpperHexDigit(c));
    }
    ++i;
  }
  return out;
}

std::string QuotedPath(std::string_view path) {
  return "\"" + ReadablePath(path) + "\"";
}

char* WriteTerminalText(char* out, std::string_view text) {
  if (text.empty()) return out;
  std::size_t run = 0;  // where the bytes not yet written begin
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      ++i;
      continue;
    }
    char32_t c1 = 0;  // a C1 character, U+0080 to U+009F
    if (c >= 0xA0) {
      // From 0xA0 up a lead byte starts a C1 character (0xC2 0x80 to 0xC2 0x9F) or goes out as
      // it is, with the rest of its character or alone when it is not UTF-8.
      const Utf8Char ch = DecodeUtf8(text, i);
      if (!ch.valid || ch.code >= 0xA0) {
        i += ch.size;
        continue;
      }
      c1 = ch.code;
    }
    std::memcpy(out, text.data() + run, i - run);
    out += i - run;
    *out++ = '\\';
    if (c1 != 0) {
      std::memcpy(out, "u00", 3);
      out += 3;
      *out++ = UpperHexDigit(c1 >> 4);
      *out++ = UpperHexDigit(c1);
    } else if (c == '\n') {
      *out++ = 'n';
    } else if (c == '\t') {
      *out++ = 't';
    } else if (c == '\r') {
      *out++ = 'r';
    } else {
      *out++ = 'x';
      *out++ = UpperHexDigit(c >> 4);
      *out++ = UpperHexDigit(c);
    }
    i += c1 != 0 ? 2 : 1;
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

}  // namespace qor
