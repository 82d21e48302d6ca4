#pragma once
#include <string>
#include <string_view>

namespace qor {

// Texts stored in BGL files are Windows-1252; inside the program every text is UTF-8.
// The five bytes that code page leaves undefined map to the control characters of the same
// value, as Windows itself converts them, so no byte is ever lost.
// The Unicode code point of one Windows-1252 byte.
char32_t Cp1252CodePoint(unsigned char byte);
void AppendCp1252AsUtf8(std::string& out, unsigned char byte);
std::string Cp1252ToUtf8(std::string_view bytes);
// Appends the UTF-8 form of Windows-1252 bytes; runs of ASCII go in whole.
void AppendCp1252AsUtf8(std::string& out, std::string_view bytes);

}  // namespace qor
