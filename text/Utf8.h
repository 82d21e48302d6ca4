#pragma once
// UTF-8, the one text encoding inside the program: decoding a character (DecodeUtf8), encoding
// a code point (WriteUtf8, AppendUtf8), and the character steps that widths and positions
// count with (CharCount, CharOffset). Every other module decodes and encodes through these.

#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

// --- Decoding ---------------------------------------------------------------------------------

// One character read from UTF-8.
struct Utf8Char {
  char32_t code = 0;     // the code point; U+FFFD for a byte that is not UTF-8
  std::size_t size = 0;  // the bytes read: 1 to 4, and 1 for a byte that is not UTF-8
  bool valid = false;    // false for a byte that is not UTF-8
};

// The character that starts at text[i] (i below the text's size). Only the shortest form of a
// code point up to U+10FFFF, surrogates aside, is UTF-8. A stray continuation byte, or a lead
// byte whose sequence is cut short, overlong, a surrogate or beyond U+10FFFF, is a byte that is
// not UTF-8 on its own, and the next character starts at the next byte: callers that keep such
// bytes (paths, names in another code page) see each of them, and decide what it stands for.
Utf8Char DecodeUtf8(std::string_view text, std::size_t i);

// Whether every byte of text belongs to a character that DecodeUtf8 reads as valid.
bool IsUtf8(std::string_view text);

// --- Encoding ---------------------------------------------------------------------------------

// The most bytes one code point takes in UTF-8.
inline constexpr std::size_t kMaxUtf8Bytes = 4;

// Writes c as UTF-8 at out, which has room for kMaxUtf8Bytes, and returns the end of what it
// wrote. A surrogate or a value beyond U+10FFFF is no character and becomes U+FFFD.
char* WriteUtf8(char32_t c, char* out);
void AppendUtf8(std::string& out, char32_t c);

// --- Character steps for widths and positions -------------------------------------------------
// Columns, cuts and padding count a character as a byte that is no continuation byte together
// with the continuation bytes that follow it, without checking the sequence: a cut never falls
// inside a well-formed character, and a stray continuation byte never stands alone after one.

// Whether a byte continues a UTF-8 character rather than starting one.
inline bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The offset just past the character that starts at byte i (i below the text's size).
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

}  // namespace qor
