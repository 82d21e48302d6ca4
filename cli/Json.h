#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qor::cli {

// The text as a JSON string, quotes included: quotes, backslashes and control characters
// escaped, each byte that is not UTF-8 as U+FFFD.
std::string JsonString(std::string_view text);
// Appends the same to out.
void AppendJsonString(std::string& out, std::string_view text);
// The most bytes the JSON string of a text of `size` bytes takes: every byte as \u00XX (a byte
// that is not UTF-8 takes three as U+FFFD), and the quotes.
constexpr std::size_t JsonStringRoom(std::size_t size) {
  return 6 * size + 2;
}
// Writes the same at out, which has room for JsonStringRoom(text.size()) bytes; returns the end.
char* WriteJsonString(char* out, std::string_view text);
// The most bytes a number and degrees take.
inline constexpr std::size_t kJsonNumberRoom = 24;
// Writes a number at out; returns the end.
char* WriteJsonNumber(char* out, std::int64_t number);
// Writes degrees with six decimals at out; returns the end.
char* WriteJsonDegrees(char* out, double degrees);
// Appends a number to out.
void AppendJsonNumber(std::string& out, std::int64_t number);
// Appends degrees with six decimals (about 11 cm on the ground).
void AppendJsonDegrees(std::string& out, double degrees);
// The bytes in hexadecimal, two lowercase digits each: how a path that is not UTF-8 travels
// losslessly beside its best-effort text.
std::string HexBytes(std::string_view bytes);

}  // namespace qor::cli
