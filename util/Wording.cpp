#include "util/Wording.h"

#include <string_view>

#include "lang/Tr.h"

namespace qor {

namespace {

// The letters that elide "de", in both cases; accented ones as their UTF-8 bytes.
bool StartsWithVowel(std::string_view text) {
  if (text.empty()) return false;
  constexpr std::string_view kPlain = "aeiouyhAEIOUYH";
  if (kPlain.find(text.front()) != std::string_view::npos) return true;
  for (const std::string_view accented :
       {"à", "â", "ä", "é", "è", "ê", "ë", "î", "ï", "ô", "ö", "ù", "û", "ü",
        "À", "Â", "Ä", "É", "È", "Ê", "Ë", "Î", "Ï", "Ô", "Ö", "Ù", "Û", "Ü"}) {
    if (text.substr(0, accented.size()) == accented) return true;
  }
  return false;
}

}  // namespace

std::string Of(const std::string& name) {
  // Two texts, so that each language says both its own way: "of", "von".
  return StartsWithVowel(name) ? Tr("d'%1", {name}) : Tr("de %1", {name});
}

}  // namespace qor
