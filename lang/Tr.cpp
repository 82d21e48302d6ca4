#include "lang/Tr.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "lang/Language.h"

namespace qor {

namespace lang::generated {
// Made by the build from the translation files (cmake/PoTable.cmake).
extern const Entry kEntries[];
extern const std::size_t kEntryCount;
}  // namespace lang::generated

namespace {

using lang::Entry;

const std::vector<const Entry*>& Sorted() {
  static const std::vector<const Entry*> sorted = [] {
    std::vector<const Entry*> entries;
    for (std::size_t i = 0; i < lang::generated::kEntryCount; ++i) {
      entries.push_back(&lang::generated::kEntries[i]);
    }
    std::sort(entries.begin(), entries.end(), [](const Entry* a, const Entry* b) {
      return std::tie(a->context, a->french) < std::tie(b->context, b->french);
    });
    return entries;
  }();
  return sorted;
}

std::string Translate(std::string_view context, std::string_view french) {
  const lang::Language language = lang::Current();
  if (language == lang::Language::kFrench || french.empty()) return std::string(french);
  if (language == lang::Language::kPseudo) return lang::Pseudo(french);
  const std::vector<const Entry*>& sorted = Sorted();
  const auto at =
      std::lower_bound(sorted.begin(), sorted.end(), std::pair(context, french),
                       [](const Entry* e, const auto& key) {
                         return std::tie(e->context, e->french) < std::tie(key.first, key.second);
                       });
  if (at == sorted.end() || (*at)->context != context || (*at)->french != french) {
    return std::string(french);
  }
  const std::string_view text =
      language == lang::Language::kEnglish ? (*at)->english : (*at)->german;
  return std::string(text.empty() ? french : text);
}

std::string Format(std::string_view text, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(text.size() + 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

std::string Tr(std::string_view french) {
  return Translate({}, french);
}

std::string Tr(std::string_view french, std::initializer_list<std::string_view> args) {
  return Format(Translate({}, french), args);
}

std::string TrNumbered(int id, std::string_view french) {
  if (lang::Current() == lang::Language::kFrench) return std::string(french);
  return Translate(std::to_string(id), french);
}

namespace lang {

const Entry* Entries(std::size_t& count) {
  count = generated::kEntryCount;
  return generated::kEntries;
}

std::string Pseudo(std::string_view french) {
  // Characters, not bytes: an accent is one letter on the screen.
  std::size_t characters = 0;
  for (const char c : french) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return "[" + std::string(french) + std::string((characters * 4 + 9) / 10, '~') + "]";
}

}  // namespace lang

}  // namespace qor
