#pragma once
// UTF-16, the encoding of Windows' calls and of the texts in its registry: conversions from and
// to the program's UTF-8 (text/Utf8.h). platform/Text_win32.h's Wide() and Utf8() wrap them at
// each Windows call; the registry's text form keeps its values in UTF-16 with them.

#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

// What a byte that is not UTF-8 (see DecodeUtf8) becomes in UTF-16, and what a lone surrogate
// becomes on the way back.
enum class NotUtf8 {
  // U+FFFD each way, as Windows converts: the byte is lost.
  kReplace,
  // The lone surrogate U+DC00 + byte (U+DC80 to U+DCFF), which turns back into the same byte, so
  // that a name in another code page survives the trip through UTF-16 unchanged. Any other lone
  // surrogate comes back as U+FFFD.
  kEscape,
};

// The most units one code point takes in UTF-16.
inline constexpr std::size_t kMaxUtf16Units = 2;

// Writes c as UTF-16 at out, which has room for kMaxUtf16Units, and returns the end of what it
// wrote: one unit up to U+FFFF, a surrogate pair above. A surrogate or a value beyond U+10FFFF
// is no character and becomes U+FFFD.
char16_t* WriteUtf16(char32_t c, char16_t* out);
void AppendUtf16(std::u16string& out, char32_t c);

std::u16string Utf8ToUtf16(std::string_view utf8, NotUtf8 notUtf8);
void AppendUtf8AsUtf16(std::u16string& out, std::string_view utf8, NotUtf8 notUtf8);
std::string Utf16ToUtf8(std::u16string_view utf16, NotUtf8 notUtf8);

}  // namespace qor
