// Every text a window shows comes from the one numbered table: a number used in a window's or
// the workflow's source must be in it, and a caller's own French default must be the table's
// text, or the two windows would word the same control two ways.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/workflow/SourceLiterals.h"
#include "workflow/LangStr.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

using test::Unescaped;

TEST(LangStrTest, EveryNumberUsedIsInTheTableWithTheSameText) {
  // A call, its number, and the adjacent literals of its default (if any).
  const std::regex call(R"re(LangStr\(\s*(\d+)\s*(,\s*((?:"(?:[^"\\]|\\.)*"\s*)+))?\))re");
  const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
  std::size_t calls = 0;
  for (const char* folder : {"ui", "winui", "workflow"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(QORBGL_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".cpp") continue;
      std::ifstream in(entry.path());
      std::stringstream text;
      text << in.rdbuf();
      const std::string source = text.str();
      for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
        ++calls;
        const int id = std::stoi((*it)[1]);
        const std::string where = entry.path().filename().string() + ": " + it->str();
        EXPECT_TRUE(HasLangStr(id)) << where;
        if (!(*it)[3].matched) continue;
        std::string given;
        const std::string parts = (*it)[3];
        for (std::sregex_iterator l(parts.begin(), parts.end(), literal); l != end; ++l) {
          given += Unescaped((*l)[1]);
        }
        EXPECT_EQ(given, LangStr(id)) << where;
      }
    }
  }
  EXPECT_GT(calls, 40u);  // the sources were found and read
  EXPECT_EQ(LangStr(9999), "[9999]");
  EXPECT_EQ(LangStr(9999, "sans numéro"), "sans numéro");
}

}  // namespace
}  // namespace qor
