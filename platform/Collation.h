#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "text/CollationKeys.h"

namespace qor::platform {

// The one comparison of texts that sorts the airport tree in the window, the print-out and the
// command line: the user's locale's collation, case and accents secondary to the letters,
// digits compared as characters ("Runway 10" before "Runway 9"). On Linux ICU's (the root
// collation for the C locale), on Windows CompareStringEx's, as lstrcmpW compares; the two
// differ on the signs a word sort passes over (hyphens, apostrophes). Texts are UTF-8.
// Returns <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);

// The same comparison of UTF-16 texts, for texts a widget already holds in that form.
int CompareText(std::u16string_view a, std::u16string_view b);

// Appends the collation key of a UTF-16 text to keys and returns its length. Two keys compare
// with their bytes (memcmp, shorter first on a tie) as CompareText compares the texts: sorting
// many texts by keys made once each is far cheaper than comparing the texts again and again.
std::size_t AppendSortKey(std::u16string_view text, std::string& keys);
// The same for a UTF-8 text (bytes that are not UTF-8 count as U+FFFD).
std::size_t AppendSortKey(std::string_view text, std::string& keys);

// The prefix of the text's key (text/CollationKeys.h), made without the whole key where the
// collator can weigh only the first letters. Reading keys (KeyPrefixOf, KeyLetters,
// CompareLetters) needs no collator and lives in text/CollationKeys.h.
KeyPrefix SortKeyPrefix(std::string_view text);

}  // namespace qor::platform
