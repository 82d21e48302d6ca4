#pragma once
// Stepping through UTF-8 text character by character (code point by code point) and writing
// code points as UTF-8. Every text function above counts widths and positions with these.

#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

// Whether a byte continues a UTF-8 character rather than starting one.
inline bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The offset just past the character that starts at byte i (i below the text's size): the
// continuation bytes that follow belong to it, so a stray one never stands alone after it.
inline std::size_t NextCharStart(std::string_view text, std::size_t i) {
  ++i;
  while (i < text.size() && IsContinuationByte(text[i])) ++i;
  return i;
}

// The characters of a UTF-8 text: a stray continuation byte at the start counts as one, the
// ones after a character belong to it.
std::size_t CharCount(std::string_view text);

// The byte offset where character number index (from 0) starts; the text's size past its end.
// Counted as CharCount counts, so no offset ever falls inside a well-formed sequence.
std::size_t CharOffset(std::string_view text, std::size_t index);

// The most bytes one code point takes in UTF-8.
inline constexpr std::size_t kMaxUtf8Bytes = 4;

// Writes c as UTF-8 at out, which has room for kMaxUtf8Bytes, and returns the end of what it
// wrote. A surrogate or a value beyond U+10FFFF is no character and becomes U+FFFD.
char* WriteUtf8(char32_t c, char* out);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace qor
