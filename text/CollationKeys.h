#pragma once
// Reading the collation keys that platform/Collation.h's AppendSortKey makes (ICU's on Linux,
// Windows' on Windows): their bytes alone, with no call to the collator.

#include <array>
#include <cstdint>
#include <string_view>

namespace qor {

// The first sixteen bytes of a key as two numbers, the first byte highest, zeros after a
// shorter key: when two texts' prefixes differ the texts compare as the prefixes do; equal
// prefixes tell nothing. Far cheaper than a whole key where the collator can weigh only the
// first letters (platform's SortKeyPrefix makes them from a text).
using KeyPrefix = std::array<std::uint64_t, 2>;
KeyPrefix KeyPrefixOf(std::string_view key);

// The part of a key that weighs the text's letters, before their accents and case.
std::string_view KeyLetters(std::string_view key);
// Two such parts compared: <0 or >0 when the letters differ before either text's end, which then
// orders alike any two texts that go on from these two with blanks, digits or signs (a label
// followed by a number); 0 when only the whole texts can tell.
int CompareLetters(std::string_view lettersA, std::string_view lettersB);

}  // namespace qor
