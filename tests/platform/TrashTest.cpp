#include "platform/Trash.h"

#include <sys/stat.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/FileOps.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

using test::ReadText;
using test::WriteText;

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Points XDG_DATA_HOME at a fresh folder that does not exist yet, for the time of one test.
class TrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_DATA_HOME")) saved_ = old;
    data_ = home_ / "data";
    ::setenv("XDG_DATA_HOME", data_.c_str(), 1);
  }
  void TearDown() override { ::setenv("XDG_DATA_HOME", saved_.c_str(), 1); }

  std::string Files() const { return data_ + "/Trash/files/"; }
  std::string Info() const { return data_ + "/Trash/info/"; }

  test::TempFolder home_;
  test::TempFolder work_;
  std::string data_;
  std::string saved_;
};

TEST_F(TrashTest, AFileLandsInTheTrashWithItsInfo) {
  const std::string file = work_ / "AIRPORT.BGL";
  WriteText(file, "old copy");
  ASSERT_TRUE(MoveToTrash(file));

  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(ReadText(Files() + "AIRPORT.BGL"), "old copy");
  const std::regex info("\\[Trash Info\\]\nPath=" + work_.Path() +
                        "/AIRPORT\\.BGL\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
  EXPECT_TRUE(std::regex_match(ReadText(Info() + "AIRPORT.BGL.trashinfo"), info))
      << ReadText(Info() + "AIRPORT.BGL.trashinfo");
  EXPECT_EQ(ModeOf(data_ + "/Trash"), 0700u);
  EXPECT_EQ(ModeOf(Files()), 0700u);
  EXPECT_EQ(ModeOf(Info()), 0700u);
}

TEST_F(TrashTest, TheOriginalPathIsPercentEncoded) {
  const std::string file = work_ / "été 1%#.bgl";
  WriteText(file, "x");
  ASSERT_TRUE(MoveToTrash(file));
  const std::string text = ReadText(Info() + "été 1%#.bgl.trashinfo");
  EXPECT_NE(text.find("Path=" + work_.Path() + "/%C3%A9t%C3%A9%201%25%23.bgl\n"), std::string::npos)
      << text;
}

TEST_F(TrashTest, ASecondFileOfTheSameNameKeepsTheFirst) {
  test::TempFolder other;
  WriteText(work_ / "a.bgl", "first");
  WriteText(other / "a.bgl", "second");
  ASSERT_TRUE(MoveToTrash(work_ / "a.bgl"));
  ASSERT_TRUE(MoveToTrash(other / "a.bgl"));

  EXPECT_EQ(ReadText(Files() + "a.bgl"), "first");
  EXPECT_EQ(ReadText(Files() + "a.2.bgl"), "second");
  EXPECT_NE(ReadText(Info() + "a.bgl.trashinfo").find("Path=" + work_.Path() + "/a.bgl\n"),
            std::string::npos);
  EXPECT_NE(ReadText(Info() + "a.2.bgl.trashinfo").find("Path=" + other.Path() + "/a.bgl\n"),
            std::string::npos);
}

TEST_F(TrashTest, AnEntryWithoutInfoIsNotOverwrittenEither) {
  ASSERT_TRUE(MakeFolders(Files(), 0700));
  WriteText(Files() + "a.bgl", "stray");
  WriteText(work_ / "a.bgl", "new");
  ASSERT_TRUE(MoveToTrash(work_ / "a.bgl"));
  EXPECT_EQ(ReadText(Files() + "a.bgl"), "stray");
  EXPECT_EQ(ReadText(Files() + "a.2.bgl"), "new");
  EXPECT_FALSE(fs::exists(Info() + "a.bgl.trashinfo"));
}

TEST_F(TrashTest, ANameAtTheLengthLimitGetsAShorterEntry) {
  const std::string name = std::string(246, 'n') + ".bgl";  // 250 bytes: no room for the suffix
  WriteText(work_ / name, "long");
  ASSERT_TRUE(MoveToTrash(work_ / name));
  EXPECT_FALSE(fs::exists(work_ / name));
  const std::string entry = std::string(241, 'n') + ".bgl";
  EXPECT_EQ(ReadText(Files() + entry), "long");
  EXPECT_NE(ReadText(Info() + entry + ".trashinfo").find(name), std::string::npos);
}

TEST_F(TrashTest, WithoutATrashTheFileStays) {
  WriteText(home_ / "plain", "");
  ::setenv("XDG_DATA_HOME", (home_ / "plain/data").c_str(), 1);  // through a regular file
  WriteText(work_ / "a.bgl", "keep");
  EXPECT_FALSE(MoveToTrash(work_ / "a.bgl"));
  EXPECT_EQ(ReadText(work_ / "a.bgl"), "keep");
}

TEST_F(TrashTest, OnlyFilesGoToTheTrash) {
  fs::create_directory(work_ / "folder");
  EXPECT_FALSE(MoveToTrash(work_ / "folder"));
  EXPECT_FALSE(MoveToTrash(work_ / "missing"));
  EXPECT_FALSE(MoveToTrash(""));
  EXPECT_TRUE(fs::is_directory(work_ / "folder"));
  EXPECT_FALSE(fs::exists(Files() + "folder"));
}

TEST_F(TrashTest, AFileOnAnotherFileSystemIsCopiedThenRemoved) {
  struct stat shm {};
  struct stat trash {};
  if (::stat("/dev/shm", &shm) != 0 || ::stat(home_.Path().c_str(), &trash) != 0 ||
      shm.st_dev == trash.st_dev) {
    GTEST_SKIP() << "no second file system to trash from";
  }
  const std::string file = "/dev/shm/qorbgl-trash-test-" + std::to_string(::getpid());
  WriteText(file, "elsewhere");
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(MoveToTrash(file));
  EXPECT_FALSE(fs::exists(file));
  const std::string entry = Files() + fs::path(file).filename().string();
  EXPECT_EQ(ReadText(entry), "elsewhere");
  EXPECT_EQ(ModeOf(entry), 0640u);
}

struct TrashFolderCase {
  const char* name;
  const char* dataHome;  // nullptr: unset
  const char* home;
  const char* expected;
};

void PrintTo(const TrashFolderCase& c, std::ostream* os) {
  *os << c.name;
}

class HomeTrashFolderTest : public ::testing::TestWithParam<TrashFolderCase> {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value != nullptr ? value : "");
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_P(HomeTrashFolderTest, FollowsTheDataHome) {
  const TrashFolderCase& c = GetParam();
  if (c.dataHome != nullptr) {
    ::setenv("XDG_DATA_HOME", c.dataHome, 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  ::setenv("HOME", c.home, 1);
  EXPECT_EQ(HomeTrashFolder(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HomeTrashFolderTest,
    ::testing::Values(TrashFolderCase{"DataHome", "/x/data", "/h", "/x/data/Trash"},
                      TrashFolderCase{"Unset", nullptr, "/h", "/h/.local/share/Trash"},
                      TrashFolderCase{"Empty", "", "/h", "/h/.local/share/Trash"},
                      TrashFolderCase{"Relative", "relative/data", "/h", "/h/.local/share/Trash"},
                      TrashFolderCase{"NoHome", nullptr, "", ""}),
    [](const ::testing::TestParamInfo<TrashFolderCase>& info) { return info.param.name; });

}  // namespace
}  // namespace qor::platform
