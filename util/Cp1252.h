#pragma once
#include <cstddef>
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
// Appends the UTF-8 form of Windows-1252 bytes.
void AppendCp1252AsUtf8(std::string& out, std::string_view bytes);
// The most bytes of UTF-8 one Windows-1252 byte becomes.
inline constexpr std::size_t kUtf8PerCp1252 = 3;
// Writes the UTF-8 form of bytes at out, which has room for kUtf8PerCp1252 bytes for each of
// them; returns the end of what it wrote.
char* WriteCp1252AsUtf8(std::string_view bytes, char* out);

}  // namespace qor
