#pragma once
// Wording of composed texts in the current language.

#include <string>

namespace qor {

// name as the complement of a noun: in French "de " before it, elided to "d'" before a vowel or
// a mute h ("d'Altiport de Courchevel", "de Courchevel", "d'EGLL"); "of EGLL" in English, "von
// EGLL" in German.
std::string Of(const std::string& name);

}  // namespace qor
