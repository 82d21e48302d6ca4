#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qor::cli {

// The text as a JSON string, quotes included: quotes, backslashes and control characters
// escaped, each byte that is not UTF-8 as U+FFFD.
std::string JsonString(std::string_view text);
// Appends the same to out.
void AppendJsonString(std::string& out, std::string_view text);
// Appends a number to out.
void AppendJsonNumber(std::string& out, std::int64_t number);
// Appends degrees with six decimals (about 11 cm on the ground).
void AppendJsonDegrees(std::string& out, double degrees);
// The bytes in hexadecimal, two lowercase digits each: how a path that is not UTF-8 travels
// losslessly beside its best-effort text.
std::string HexBytes(std::string_view bytes);

}  // namespace qor::cli
