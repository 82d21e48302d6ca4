#include "util/Cp1252.h"

#include "text/Utf8.h"

namespace qor {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

char* WriteCp1252AsUtf8(std::string_view bytes, char* out) {
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    if (byte < 0x80) {
      *out++ = b;
      continue;
    }
    out = WriteUtf8(Cp1252CodePoint(byte), out);
  }
  return out;
}

void AppendCp1252AsUtf8(std::string& out, unsigned char byte) {
  const char one = static_cast<char>(byte);
  AppendCp1252AsUtf8(out, std::string_view(&one, 1));
}

void AppendCp1252AsUtf8(std::string& out, std::string_view bytes) {
  const std::size_t at = out.size();
  out.resize(at + kUtf8PerCp1252 * bytes.size());
  char* end = WriteCp1252AsUtf8(bytes, out.data() + at);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendCp1252AsUtf8(out, bytes);
  return out;
}

}  // namespace qor
