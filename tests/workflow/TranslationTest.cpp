// The program's texts in every language: each text a source passes to Tr and each numbered text
// has its English and German translations in the translation files, which keep its
// placeholders and its access key; the language chosen is the one spoken, French by default.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "lang/Language.h"
#include "lang/Tr.h"
#include "tests/workflow/SourceLiterals.h"
#include "workflow/LangStr.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

using test::Unescaped;

// What a translation must keep of its source: its placeholders and its access keys.
std::multiset<std::string> Marks(std::string_view text) {
  std::multiset<std::string> marks;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') {
      marks.insert(std::string(text.substr(i, 2)));
    } else if (text[i] == '&' && text[i + 1] != ' ') {
      marks.insert("&");
      i += text[i + 1] == '&';
    }
  }
  return marks;
}

class TranslationTest : public ::testing::Test {
 protected:
  void TearDown() override { lang::SetCurrent(lang::Language::kFrench); }
  // Every entry of the files, by context and French text.
  static std::map<std::pair<std::string, std::string>, const lang::Entry*> ByKey() {
    std::size_t count = 0;
    const lang::Entry* entries = lang::Entries(count);
    std::map<std::pair<std::string, std::string>, const lang::Entry*> byKey;
    for (std::size_t i = 0; i < count; ++i) {
      byKey[{std::string(entries[i].context), std::string(entries[i].french)}] = &entries[i];
    }
    return byKey;
  }
};

TEST_F(TranslationTest, EveryTextHasItsTranslationsKeepingPlaceholdersAndAccessKeys) {
  const auto byKey = ByKey();
  std::vector<std::pair<std::string, std::string>> wanted;  // context, French text
  for (int id = 1; id < 1000; ++id) {
    if (HasLangStr(id) && !FrenchLangStr(id).empty()) {
      wanted.push_back({std::to_string(id), std::string(FrenchLangStr(id))});
    }
  }
  // Tr("…" "…", ...) in every folder of the program: the adjacent literals of its first argument.
  const std::regex call(R"re(\bTr\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)[,)])re");
  const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
  for (const char* folder : {"bgl", "cli", "library", "platform", "print", "simfinder", "text",
                             "ui", "util", "winui", "workflow"}) {
    for (const auto& file : fs::directory_iterator(fs::path(QORBGL_SOURCE_DIR) / folder)) {
      const auto extension = file.path().extension();
      if (extension != ".cpp" && extension != ".h") continue;
      std::ifstream in(file.path());
      std::stringstream text;
      text << in.rdbuf();
      const std::string source = text.str();
      for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
        std::string french;
        const std::string parts = (*it)[1];
        for (std::sregex_iterator l(parts.begin(), parts.end(), literal); l != end; ++l) {
          french += Unescaped((*l)[1]);
        }
        wanted.push_back({"", french});
      }
    }
  }
  EXPECT_GT(wanted.size(), 50u);  // the table and the sources were read
  for (const auto& [context, french] : wanted) {
    const auto found = byKey.find({context, french});
    if (found == byKey.end()) {
      ADD_FAILURE() << "no translation of [" << context << "] \"" << french << "\"";
      continue;
    }
    const lang::Entry& e = *found->second;
    for (const std::string_view translation : {e.english, e.german}) {
      EXPECT_FALSE(translation.empty()) << "[" << context << "] " << french;
      EXPECT_EQ(Marks(translation), Marks(french)) << french << " / " << translation;
    }
  }
  // The two files hold the same texts: an entry of one only is a text the other lacks.
  for (const auto& [key, entry] : byKey) {
    EXPECT_FALSE(entry->english.empty() || entry->german.empty())
        << "[" << key.first << "] " << key.second;
  }
}

TEST_F(TranslationTest, TheLanguageChosenIsSpokenAndFrenchStaysAsItWas) {
  const struct {
    lang::Language language;
    std::string file, browse, message;
  } rows[] = {
      {lang::Language::kFrench, "&Fichier :", "&Parcourir", "« a.bgl » et 3"},
      {lang::Language::kEnglish, "&File:", "&Browse", "« a.bgl » et 3"},
      {lang::Language::kGerman, "&Datei:", "Dur&chsuchen", "« a.bgl » et 3"},
      {lang::Language::kPseudo, "[&Fichier :~~~~]", "[&Parcourir~~~~]", "[« a.bgl » et 3~~~~~]"},
  };
  for (const auto& row : rows) {
    lang::SetCurrent(row.language);
    EXPECT_EQ(LangStr(4), row.file);
    EXPECT_EQ(LangStr(5), row.browse);
    // Arguments take their places once, whatever they hold; a text without a translation is
    // said in French.
    EXPECT_EQ(Tr("« %1 » et %2", {"a.bgl", "3"}), row.message);
  }
  lang::SetCurrent(lang::Language::kFrench);
  EXPECT_EQ(Tr("%2 avant %1 ; %3 reste", {"%2", "b"}), "b avant %2 ; %3 reste");
  for (const char* code : {"fr", "en", "de", "qps"})
    EXPECT_EQ(lang::Code(*lang::FromCode(code)), code);
  EXPECT_FALSE(lang::FromCode("es"));
}

}  // namespace
}  // namespace qor
