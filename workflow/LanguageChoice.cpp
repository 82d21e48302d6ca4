#include "workflow/LanguageChoice.h"

#include "util/Settings.h"

namespace qor {

namespace {

constexpr char kLanguageSetting[] = "Langue";

}  // namespace

const std::vector<LanguageItem>& LanguageMenu() {
  static const std::vector<LanguageItem> items = {
      {lang::Language::kFrench, 71}, {lang::Language::kEnglish, 72}, {lang::Language::kGerman, 73}};
  return items;
}

lang::Language SavedLanguage() {
  return lang::FromCode(ReadSetting(kLanguageSetting)).value_or(lang::Language::kFrench);
}

void ChooseLanguage(lang::Language language) {
  WriteSetting(kLanguageSetting, lang::Code(language));
  lang::SetCurrent(language);
}

}  // namespace qor
