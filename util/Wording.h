#pragma once
// French wording of composed texts.

#include <string>

namespace qor {

// "de " before name, elided to "d'" before a vowel or a mute h: "d'Altiport de Courchevel",
// "de Courchevel", "d'EGLL".
std::string Of(const std::string& name);

}  // namespace qor
