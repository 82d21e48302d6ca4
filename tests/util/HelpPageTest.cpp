#include "util/HelpPage.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/File.h"
#include "tests/support/TempFolder.h"
#include "util/FileUtil.h"

namespace qor {
namespace {

// A program in TREE/bin/ and help pages placed around it: the page the window shows.
TEST(HelpPagePath, BesideTheProgramFirstThenTheInstalledTreesShareFolder) {
  struct Row {
    const char* layout;
    std::vector<const char*> pages;  // relative to the tree, '/' as the delimiter
    const char* expected;            // relative to the tree
  };
  const Row rows[] = {
      {"build folder or Windows", {"bin/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"installed or relocated tree", {"share/qorbgl/QORBgl.htm"}, "share/qorbgl/QORBgl.htm"},
      {"both: the copy beside wins",
       {"bin/QORBgl.htm", "share/qorbgl/QORBgl.htm"},
       "bin/QORBgl.htm"},
      // share/ lies beside bin/, not inside it.
      {"share inside the program's folder", {"bin/share/qorbgl/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"another program's share folder", {"share/other/QORBgl.htm"}, "bin/QORBgl.htm"},
      {"nowhere: the viewer says it is missing", {}, "bin/QORBgl.htm"},
  };
  auto native = [](std::string path) {
    for (char& c : path) {
      if (c == '/') c = platform::kPathDelimiter;
    }
    return path;
  };
  for (const Row& row : rows) {
    test::TempFolder tree;
    auto at = [&](const std::string& relative) { return tree / native(relative); };
    MakeDir(at("bin"));
    for (const char* page : row.pages) {
      ASSERT_TRUE(MakeDir(ExtractFilePath(at(page)))) << page;
      test::WriteText(at(page), "<html><title>Aide</title></html>");
    }
    EXPECT_EQ(HelpPagePath(IncludeBackslash(at("bin"))), at(row.expected)) << row.layout;
  }
  // A program at the top of the file system has no folder above its own.
  const std::string root(1, platform::kPathDelimiter);
  EXPECT_EQ(HelpPagePath(root), root + "QORBgl.htm");
}

}  // namespace
}  // namespace qor
