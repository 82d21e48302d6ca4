#pragma once
// The language the program speaks: French, as it always has, English or German, chosen from the
// flag's menu (kept in the setting "Langue") or with the command line's --lang. A pseudo-language
// lets the tests see that every text passes through the translations and fits where it shows.

#include <optional>
#include <string_view>

namespace qor::lang {

enum class Language { kFrench, kEnglish, kGerman, kPseudo };

Language Current();
// Texts asked for from now on come in this language. Numbers keep the user's regional format.
void SetCurrent(Language language);

// "fr", "en", "de" (and "qps" for the pseudo-language): the setting's value and --lang's.
std::string_view Code(Language language);
std::optional<Language> FromCode(std::string_view code);

}  // namespace qor::lang
