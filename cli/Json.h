#pragma once
// The JSON of the command line, written in place: texts, numbers and degrees.

#include <cstddef>
#include <cstdint>
#include <cstring>
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
// Writes a text of the program's own at out; returns the end.
template <std::size_t N>
char* Put(char* out, const char (&text)[N]) {
  std::memcpy(out, text, N - 1);
  return out + (N - 1);
}

// Where the Write functions write when they append to a string: Room(n) gives where to write at
// most n bytes, Done(end) takes back the end of what was written. A sink of output has the same.
class StringSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  char* Room(std::size_t bytes) {
    const std::size_t at = out_.size();
    out_.resize(at + bytes);
    return out_.data() + at;
  }
  void Done(char* end) { out_.resize(static_cast<std::size_t>(end - out_.data())); }

 private:
  std::string& out_;
};

// The bytes in hexadecimal, two lowercase digits each: how a path that is not UTF-8 travels
// losslessly beside its best-effort text.
std::string HexBytes(std::string_view bytes);

}  // namespace qor::cli
