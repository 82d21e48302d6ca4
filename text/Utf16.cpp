#include "text/Utf16.h"

#include "text/Utf8.h"

namespace qor {

namespace {

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// The escapes of kEscape: U+DC00 plus a byte from 0x80 up (a byte below is always UTF-8).
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

}  // namespace

char16_t* WriteUtf16(char32_t c, char16_t* out) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x10000) {
    *out++ = static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
  return out;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  char16_t units[kMaxUtf16Units];
  out.append(units, static_cast<std::size_t>(WriteUtf16(c, units) - units));
}

std::u16string Utf8ToUtf16(std::string_view utf8, NotUtf8 notUtf8) {
  std::u16string out;
  out.reserve(utf8.size());
  AppendUtf8AsUtf16(out, utf8, notUtf8);
  return out;
}

void AppendUtf8AsUtf16(std::u16string& out, std::string_view utf8, NotUtf8 notUtf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = DecodeUtf8(utf8, i);
    if (c.valid) {
      AppendUtf16(out, c.code);
    } else if (notUtf8 == NotUtf8::kEscape) {
      out.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(utf8[i])));
    } else {
      out.push_back(0xFFFD);
    }
    i += c.size;
  }
}

std::string Utf16ToUtf8(std::u16string_view utf16, NotUtf8 notUtf8) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (IsHighSurrogate(u) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else if (notUtf8 == NotUtf8::kEscape && u >= kFirstEscape && u <= kLastEscape) {
      out.push_back(static_cast<char>(u - 0xDC00));
    } else {
      AppendUtf8(out, u);  // a lone surrogate becomes U+FFFD
    }
  }
  return out;
}

}  // namespace qor
