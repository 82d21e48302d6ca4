#include "lang/Language.h"

#include <atomic>

namespace qor::lang {

namespace {

std::atomic<Language> current{Language::kFrench};

constexpr std::pair<Language, std::string_view> kCodes[] = {{Language::kFrench, "fr"},
                                                            {Language::kEnglish, "en"},
                                                            {Language::kGerman, "de"},
                                                            {Language::kPseudo, "qps"}};

}  // namespace

Language Current() {
  return current.load(std::memory_order_relaxed);
}

void SetCurrent(Language language) {
  current.store(language, std::memory_order_relaxed);
}

std::string_view Code(Language language) {
  for (const auto& [l, code] : kCodes) {
    if (l == language) return code;
  }
  return "fr";
}

std::optional<Language> FromCode(std::string_view code) {
  for (const auto& [l, c] : kCodes) {
    if (c == code) return l;
  }
  return std::nullopt;
}

}  // namespace qor::lang
