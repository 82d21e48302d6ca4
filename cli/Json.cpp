#include "cli/Json.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "text/Hex.h"
#include "text/Utf8.h"

namespace qor::cli {

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

char* WriteJsonString(char* out, std::string_view text) {
  *out++ = '"';
  std::size_t i = 0;
  while (i < text.size()) {
    // Plain characters go in runs: most texts have nothing to escape.
    std::size_t run = i;
    while (run < text.size()) {
      const auto c = static_cast<unsigned char>(text[run]);
      if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') break;
      ++run;
    }
    std::memcpy(out, text.data() + i, run - i);
    out += run - i;
    i = run;
    if (i == text.size()) break;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const Utf8Char ch = DecodeUtf8(text, i);
      if (!ch.valid) {
        std::memcpy(out, "\xEF\xBF\xBD", 3);
        out += 3;
      } else {
        std::memcpy(out, text.data() + i, ch.size);
        out += ch.size;
      }
      i += ch.size;
      continue;
    }
    *out++ = '\\';
    switch (c) {
      case '"':
      case '\\':
        *out++ = static_cast<char>(c);
        break;
      case '\n':
        *out++ = 'n';
        break;
      case '\r':
        *out++ = 'r';
        break;
      case '\t':
        *out++ = 't';
        break;
      default:
        std::memcpy(out, "u00", 3);
        out += 3;
        *out++ = LowerHexDigit(static_cast<unsigned>(c) >> 4);
        *out++ = LowerHexDigit(static_cast<unsigned>(c));
    }
    ++i;
  }
  *out++ = '"';
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  StringSink sink(out);
  sink.Done(WriteJsonString(sink.Room(JsonStringRoom(text.size())), text));
}

char* WriteJsonNumber(char* out, std::int64_t number) {
  return std::to_chars(out, out + kJsonNumberRoom, number).ptr;
}

char* WriteJsonDegrees(char* out, double degrees) {
  const auto [end, failed] =
      std::to_chars(out, out + kJsonNumberRoom, degrees, std::chars_format::fixed, 6);
  if (failed == std::errc()) return end;
  std::memcpy(out, "null", 4);  // no number of this size is a field's degrees
  return out + 4;
}

void AppendJsonNumber(std::string& out, std::int64_t number) {
  char digits[kJsonNumberRoom];
  out.append(digits, WriteJsonNumber(digits, number));
}

void AppendJsonDegrees(std::string& out, double degrees) {
  char digits[kJsonNumberRoom];
  out.append(digits, WriteJsonDegrees(digits, degrees));
}

std::string HexBytes(std::string_view bytes) {
  std::string out;
  out.reserve(2 * bytes.size());
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    out.push_back(LowerHexDigit(static_cast<unsigned>(c) >> 4));
    out.push_back(LowerHexDigit(static_cast<unsigned>(c)));
  }
  return out;
}

}  // namespace qor::cli
