#pragma once
// Hexadecimal digits, read in either letter case and written in the case a format asks for.

namespace qor {

// The value of a hexadecimal digit ('0' to '9', 'a' to 'f', 'A' to 'F'); -1 for any other
// character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The digit of the low four bits of value: '0' to '9', then 'A' to 'F' or 'a' to 'f'.
constexpr char UpperHexDigit(unsigned value) {
  return "0123456789ABCDEF"[value & 0xF];
}
constexpr char LowerHexDigit(unsigned value) {
  return "0123456789abcdef"[value & 0xF];
}

}  // namespace qor
