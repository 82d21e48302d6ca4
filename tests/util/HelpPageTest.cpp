#include "util/HelpPage.h"

#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/File.h"
#include "tests/support/TempFolder.h"
#include "util/FileUtil.h"

namespace qor {
namespace {

using lang::Language;

struct Row {
  const char* layout;
  Language language;
  std::vector<const char*> pages;  // relative to the tree, '/' as the delimiter
  const char* expected;            // relative to the tree
};

std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = platform::kPathDelimiter;
  }
  return path;
}

// A program in TREE/bin/ with the rows' help pages placed around it: the page the window shows.
void ExpectPagesChosen(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    test::TempFolder tree;
    auto at = [&](const std::string& relative) { return tree / Native(relative); };
    MakeDir(at("bin"));
    for (const char* page : row.pages) {
      ASSERT_TRUE(MakeDir(ExtractFilePath(at(page)))) << page;
      test::WriteText(at(page), "<html><title>Aide</title></html>");
    }
    EXPECT_EQ(HelpPagePath(IncludeBackslash(at("bin")), row.language), at(row.expected))
        << row.layout << " (" << lang::Code(row.language) << ")";
  }
}

TEST(HelpPagePath, BesideTheProgramFirstThenTheInstalledTreesShareFolder) {
  const Language fr = Language::kFrench;
  ExpectPagesChosen({
      {"build folder or Windows", fr, {"bin/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"installed or relocated tree", fr, {"share/qorbgl/QORBgl.htm"}, "share/qorbgl/QORBgl.htm"},
      {"both: the copy beside wins",
       fr,
       {"bin/QORBgl.htm", "share/qorbgl/QORBgl.htm"},
       "bin/QORBgl.htm"},
      // share/ lies beside bin/, not inside it.
      {"share inside the program's folder", fr, {"bin/share/qorbgl/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"another program's share folder", fr, {"share/other/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"nowhere: the viewer says it is missing", fr, {}, "bin/QORBgl.htm"},
  });
  // A program at the top of the file system has no folder above its own.
  const std::string root(1, platform::kPathDelimiter);
  EXPECT_EQ(HelpPagePath(root, Language::kFrench), root + "QORBgl.htm");
  EXPECT_EQ(HelpPagePath(root, Language::kGerman), root + "QORBgl.htm");
}

TEST(HelpPagePath, ThePageOfTheLanguageElseTheFrenchOne) {
  const Language fr = Language::kFrench, en = Language::kEnglish, de = Language::kGerman;
  const std::vector<const char*> all = {"bin/QORBgl.htm", "bin/QORBgl-en.htm", "bin/QORBgl-de.htm"};
  const std::vector<const char*> installed = {
      "share/qorbgl/QORBgl.htm", "share/qorbgl/QORBgl-en.htm", "share/qorbgl/QORBgl-de.htm"};
  ExpectPagesChosen({
      {"all three beside", fr, all, "bin/QORBgl.htm"},
      {"all three beside", en, all, "bin/QORBgl-en.htm"},
      {"all three beside", de, all, "bin/QORBgl-de.htm"},
      {"all three installed", en, installed, "share/qorbgl/QORBgl-en.htm"},
      {"all three installed", de, installed, "share/qorbgl/QORBgl-de.htm"},
      // Each language has its own page, never the other translation.
      {"only the other translation", de, {"bin/QORBgl.htm", "bin/QORBgl-en.htm"}, "bin/QORBgl.htm"},
      {"translation missing", en, {"bin/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"translation missing, installed",
       en,
       {"share/qorbgl/QORBgl.htm"},
       "share/qorbgl/QORBgl.htm"},
      // The reader's language wins over the place: a translation installed in share/ comes
      // before the French page beside the program.
      {"French beside, translation installed",
       de,
       {"bin/QORBgl.htm", "share/qorbgl/QORBgl-de.htm"},
       "share/qorbgl/QORBgl-de.htm"},
      {"translation only", en, {"bin/QORBgl-en.htm"}, "bin/QORBgl-en.htm"},
      {"nothing: the French page beside", de, {}, "bin/QORBgl.htm"},
      // The test language has no page of its own.
      {"pseudo-language", Language::kPseudo, all, "bin/QORBgl.htm"},
  });
}

// The tags of a page with the attributes that tie it together (anchors, links, language), its
// texts left out: a translation must keep every one of them, in the French page's order.
std::vector<std::string> Skeleton(const std::string& html) {
  static const std::regex tag(R"(<(/?[A-Za-z0-9!]+)([^>]*)>)");
  static const std::regex attribute(R"re(\b(name|href|lang|id)="([^"]*)")re");
  std::vector<std::string> skeleton;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), tag); it != std::sregex_iterator();
       ++it) {
    std::string entry = (*it)[1];
    const std::string attributes = (*it)[2];
    for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
         a != std::sregex_iterator(); ++a) {
      if ((*a)[1] != "lang") entry += " " + (*a)[0].str();
    }
    skeleton.push_back(entry);
  }
  return skeleton;
}

std::string Match(const std::string& html, const char* pattern) {
  std::smatch match;
  return std::regex_search(html, match, std::regex(pattern)) ? match[1].str() : std::string();
}

TEST(HelpPages, EachTranslationKeepsTheFrenchPagesAnchorsAndLinks) {
  const std::string docs = std::string(QORBGL_DOCS) + platform::kPathDelimiter;
  const std::string french = test::ReadText(docs + HelpPageName(Language::kFrench));
  ASSERT_FALSE(french.empty());
  const std::vector<std::string> shape = Skeleton(french);
  for (const Language language : {Language::kEnglish, Language::kGerman}) {
    const std::string code(lang::Code(language));
    const std::string page = test::ReadText(docs + HelpPageName(language));
    ASSERT_FALSE(page.empty()) << code;
    EXPECT_EQ(Skeleton(page), shape) << code;
    EXPECT_EQ(Match(page, R"re(<html lang="([a-z]+)")re"), code);
    // Translated, not copied: the title and every section heading differ from the French ones.
    EXPECT_NE(Match(page, "<title>([^<]*)</title>"), Match(french, "<title>([^<]*)</title>"))
        << code;
    EXPECT_NE(Match(page, "</a>([^<]*)</h2>"), Match(french, "</a>([^<]*)</h2>")) << code;
  }
  // Every link to a place of the page has its anchor.
  const std::regex link(R"re(href="#([^"]+)")re");
  for (auto it = std::sregex_iterator(french.begin(), french.end(), link);
       it != std::sregex_iterator(); ++it) {
    EXPECT_NE(french.find("name=\"" + (*it)[1].str() + "\""), std::string::npos) << (*it)[1];
  }
}

}  // namespace
}  // namespace qor
