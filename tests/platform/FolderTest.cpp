#include "platform/Folder.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/NameCase.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

TEST(ListFolderFiles, MatchesTheExtensionInAnyCaseInNtfsOrder) {
  test::TempFolder dir;
  for (const char* name : {"b.bgl", "A.BGL", "c.Bgl", "éte.bgl", "Zulu.bgl", "x.bglx", "bgl",
                           ".bgl", "noext", "d.txt"}) {
    test::WriteFile(dir / name, {1, 2});
  }
  std::filesystem::create_directory(dir / "folder.bgl");
  std::filesystem::create_symlink(dir / "b.bgl", dir / "link.bgl");
  // Links to a folder or to nothing, and a named pipe, are no files to list.
  std::filesystem::create_symlink(dir / "folder.bgl", dir / "folderlink.bgl");
  std::filesystem::create_symlink(dir / "gone.bgl", dir / "dangling.bgl");
  ASSERT_EQ(::mkfifo((dir / "pipe.bgl").c_str(), 0644), 0);
  EXPECT_EQ(ListFolderFiles(dir.Path(), "bgl"),
            (std::vector<std::string>{".bgl", "A.BGL", "b.bgl", "c.Bgl", "link.bgl", "Zulu.bgl",
                                      "éte.bgl"}));
}

TEST(ListFolderFiles, AMissingFolderIsAnInputOutputError) {
  test::TempFolder dir;
  EXPECT_THROW(ListFolderFiles(dir / "absent", "bgl"), EInOutError);
}

TEST(NtfsUpperCase, FoldsEveryLetterAndKeepsStrayBytes) {
  EXPECT_EQ(NtfsUpperCase("aérodrome"), U"AÉRODROME");
  EXPECT_EQ(NtfsUpperCase("a\xff"), (std::u32string{U'A', char32_t{0x110000 + 0xFF}}));
}

}  // namespace
}  // namespace qor::platform
