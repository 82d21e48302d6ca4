#pragma once
// An elevation as a user types it, in metres ("433,5", "433.5", "1 234,5"), and the thousandths
// of a metre that the 4-byte field of a BGL file receives. The window's elevation box and the
// command line read it alike.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

// The thousandths of a metre of text, rounded to the nearest (half to even), when text is a
// number of metres whose thousandths fit the signed 32-bit field. Read as the program shows
// numbers in the user's locale (CurrentNumberSymbols): its decimal symbol, its grouping symbol
// between groups of three digits; also a blank, a no-break space or an apostrophe between
// groups, and "." or "," as the decimal symbol where it does not group thousands. Otherwise
// nothing, and a message in problem, in the current language, that repeats the text: blank or
// malformed text gives an example ("433,5"), text that could mean two values ("2,007" where ","
// groups thousands) shows both, a number out of range shows both limits in the format of the value.
std::optional<std::int32_t> ReadMetres(std::string_view text, std::string& problem);

// Thousandths of a metre as metres with three decimals in the user's regional format,
// grouped ("1 234,500") or not ("1234,500").
std::string Metres(std::int64_t thousandths, bool grouped = true);

}  // namespace qor
