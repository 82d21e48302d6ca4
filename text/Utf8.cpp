#include "text/Utf8.h"

namespace qor {

Utf8Char DecodeUtf8(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return {lead, 1, true};
  constexpr Utf8Char kNotUtf8{0xFFFD, 1, false};
  std::size_t size = 0;
  char32_t smallest = 0;  // below it the form is overlong
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4, smallest = 0x10000;
  } else {
    return kNotUtf8;
  }
  if (size > text.size() - i) return kNotUtf8;
  char32_t code = lead & (0x7F >> size);
  for (std::size_t k = 1; k < size; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return kNotUtf8;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kNotUtf8;
  return {code, size, true};
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8(text, i);
    if (!c.valid) return false;
    i += c.size;
  }
  return true;
}

char* WriteUtf8(char32_t c, char* out) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[kMaxUtf8Bytes];
  out.append(bytes, static_cast<std::size_t>(WriteUtf8(c, bytes) - bytes));
}

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i == 0 || !IsContinuationByte(text[i])) ++count;
  return count;
}

std::size_t CharOffset(std::string_view text, std::size_t index) {
  std::size_t i = 0;
  for (; index > 0 && i < text.size(); --index) i = NextCharStart(text, i);
  return i;
}

}  // namespace qor
