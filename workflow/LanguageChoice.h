#pragma once
// The flag's menu: the languages the program speaks, each named in itself, the one saved (the
// setting "Langue" of the program's key: "fr", "en" or "de"; French when nothing is saved) and
// the choice of another, kept for the next run and spoken at once.

#include <string>
#include <vector>

#include "lang/Language.h"

namespace qor {

struct LanguageItem {
  lang::Language language;
  int text;  // the number of its name in the numbered texts ("Français", "English", "Deutsch")
};
// The menu's languages, in its order.
const std::vector<LanguageItem>& LanguageMenu();

// The language saved, else French; a pseudo-language saved by a test is taken as well.
lang::Language SavedLanguage();
// Keeps language in the settings and speaks it from now on. The window then sets its texts
// again (and Qt's own dialogs follow it).
void ChooseLanguage(lang::Language language);

}  // namespace qor
