#include "bgl/GetValue.h"

#include <bit>
#include <cstring>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "text/Hex.h"
#include "util/Cp1252.h"

namespace qor {

namespace {

void AppendHex4(std::string& out, std::uint32_t n) {
  for (int shift = 12; shift >= 0; shift -= 4)
    out.push_back(UpperHexDigit(static_cast<unsigned>(n >> shift)));
}

}  // namespace

void GetValue(BufferedFile& file, std::uint32_t offset, char code, Variant& value,
              std::uint32_t& nextPos) {
  nextPos = offset;
  switch (code) {
    case 'B':
      value = Variant::Byte(file.Get<std::uint8_t>(offset));
      nextPos += 1;
      return;
    case 'W':
      value = Variant::Word(file.Get<std::uint16_t>(offset));
      nextPos += 2;
      return;
    case 'D':
      value = Variant::LongWord(file.Get<std::uint32_t>(offset));
      nextPos += 4;
      return;
    case 'F':
      value = Variant::Real(std::bit_cast<double>(file.Get<std::uint64_t>(offset)));
      nextPos += 8;
      return;
    case 'S': {
      value = Variant::Text("");
      std::string text;
      for (std::uint64_t at = offset;; ++at) {
        const int byte = file.ByteAt(at);
        if (byte < 0) throw EReadBeyondEnd();
        ++nextPos;
        if (byte == 0) break;
        AppendCp1252AsUtf8(text, static_cast<unsigned char>(byte));
      }
      value = Variant::Text(std::move(text));
      return;
    }
    default:
      throw Exception("(GetValue) " + Tr("Type de variable inconnu (%1)", {std::string(1, code)}));
  }
}

std::string ValueToHex(const Variant& value) {
  std::uint32_t n = 0;
  const bool real = value.Kind() == VarKind::Real || value.Kind() == VarKind::DateTime;
  if (real) {
    n = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(value.AsReal()));
  } else {
    n = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value.AsInt64()));
  }
  std::string out = "$";
  if (real || value.Kind() == VarKind::LongWord) {
    AppendHex4(out, n >> 16);
    out.push_back('x');
  }
  AppendHex4(out, n & 0xFFFF);
  return out;
}

}  // namespace qor
