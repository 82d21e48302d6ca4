#include "platform/Folder.h"
#include "platform/WinePaths.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

TEST(WindowsPathToLinux, TheDriveGoesThroughDosdevicesAndPartsMatchInAnyCase) {
  test::TempFolder prefix;
  fs::create_directories(prefix / "drive_c/Program Files/Microsoft Games/FS9");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  const std::string fs9 = prefix / "dosdevices/c:/Program Files/Microsoft Games/FS9";

  EXPECT_EQ(WindowsPathToLinux("C:\\Program Files\\Microsoft Games\\FS9\\", prefix.Path()), fs9);
  EXPECT_EQ(WindowsPathToLinux("c:\\PROGRAM FILES\\microsoft games\\fs9", prefix.Path()), fs9);
  EXPECT_EQ(WindowsPathToLinux("C:/Program Files//Microsoft Games/FS9", prefix.Path()), fs9);
  // A part that is not there stays as written, so that the caller's test for it fails.
  EXPECT_EQ(WindowsPathToLinux("C:\\Jeux\\FS9", prefix.Path()), prefix / "dosdevices/c:/Jeux/FS9");
  EXPECT_EQ(WindowsPathToLinux("D:\\FS9", prefix.Path()), "");  // no such drive
  EXPECT_EQ(WindowsPathToLinux("\\FS9", prefix.Path()), "");
  EXPECT_EQ(WindowsPathToLinux("", prefix.Path()), "");
}

TEST(FindNameIgnoringCase, PrefersTheExactNameThenAnyCase) {
  test::TempFolder dir;
  test::WriteFile(dir / "fs9.exe", {});
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "FS9.exe"), "fs9.exe");
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "fs9.exe"), "fs9.exe");
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "fs2002.exe"), "");
  EXPECT_EQ(FindNameIgnoringCase(dir / "absent", "fs9.exe"), "");
}

}  // namespace
}  // namespace qor::platform
