#include "util/FileUtil.h"

#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/File.h"
#include "platform/FileOps.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

using test::ReadText;
using test::WriteText;

TEST(IncludeBackslash, EndsInExactlyOneDelimiterWhenNoneWasThere) {
  // Written with '/', the system's delimiter in place; Windows also takes '/' as one.
  auto native = [](std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::kPathDelimiter);
    return path;
  };
  const std::pair<std::string, std::string> cases[] = {{"", "/"},
                                                       {"/tmp/Temp", "/tmp/Temp/"},
                                                       {"/tmp/Temp/", "/tmp/Temp/"},
                                                       {"/tmp/Temp//", "/tmp/Temp//"},
                                                       {"été", "été/"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(IncludeBackslash(native(in)), native(out)) << in;
  EXPECT_EQ(IncludeBackslash("C:/Temp/"), "C:/Temp/");
}

TEST(ExcludeBackslash, DropsOneDelimiterAtMost) {
  const std::pair<std::string, std::string> cases[] = {{"", ""},
                                                       {"/", ""},
                                                       {"/tmp/Temp", "/tmp/Temp"},
                                                       {"/tmp/Temp/", "/tmp/Temp"},
                                                       {"/tmp/Temp//", "/tmp/Temp/"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ExcludeBackslash(in), out) << in;
}

TEST(ExtractFilePath, SplitsAtTheLastDelimiter) {
  const std::string d(1, platform::kPathDelimiter);
  EXPECT_EQ(ExtractFilePath("dossier" + d + "sous" + d + "a.bgl"), "dossier" + d + "sous" + d);
  EXPECT_EQ(ExtractFileName("dossier" + d + "sous" + d + "a.bgl"), "a.bgl");
  EXPECT_EQ(ExtractFilePath("a.bgl"), "");
  EXPECT_EQ(ExtractFileName("a.bgl"), "a.bgl");
  EXPECT_EQ(ExtractFileName("C:/Jeux/a.bgl"), "a.bgl");  // '/' everywhere
}

TEST(StrEndsWith, ComparesTheTailInOrOutOfCase) {
  struct Case {
    const char* s;
    const char* suffix;
    bool caseSensitive;
    bool expected;
  };
  const Case cases[] = {
      {"ABC.BGL", ".bgl", false, true},
      {"ABC.BGL", ".bgl", true, false},
      {"ABC.BGL", ".BGL", true, true},
      {"a", "abc", false, false},
      {"a", "abc", true, false},
      {"abc", "", true, true},
      {"", "", false, true},
      {"", "a", false, false},
      {"AÉRODROME", "érodrome", false, true},  // letters beyond ASCII fold too
      {"aérodrome", "Érodrome", true, false},
      {"xé", "é", true, true},
      {"é", "ée", false, false},  // two characters never end a one-character text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrEndsWith(c.s, c.suffix, c.caseSensitive), c.expected)
        << c.s << " / " << c.suffix << " / " << c.caseSensitive;
  }
}

TEST(OnlyChars, EveryCharacterMustBeAllowed) {
  struct Case {
    const char* allowed;
    const char* s;
    bool expected;
  };
  const Case cases[] = {
      {"0123456789:", "12:30", true},
      {"0123456789:", "12.30", false},
      {"0123456789:", "", true},
      {"", "1", false},
      {"aé", "éaé", true},
      // "©è" holds every byte of "é" but not the character itself.
      {"©è", "é", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OnlyChars(c.allowed, c.s), c.expected) << c.allowed << " / " << c.s;
  }
}

TEST(MakeDir, RefusesBlankPaths) {
  EXPECT_FALSE(MakeDir("   "));
  EXPECT_FALSE(MakeDir(""));
  EXPECT_FALSE(MakeDir("/"));  // the delimiter alone leaves nothing to create
}

TEST(MakeDir, CreatesEveryMissingFolder) {
  test::TempFolder dir;
  EXPECT_TRUE(MakeDir(dir / "New/Sub/"));
  EXPECT_TRUE(fs::is_directory(dir / "New/Sub"));
  EXPECT_TRUE(MakeDir(dir / "New/Sub"));  // it exists now
  EXPECT_TRUE(MakeDir("  " + (dir / "Blank") + "/ \t"));
  EXPECT_TRUE(fs::is_directory(dir / "Blank"));
}

TEST(MakeDir, FailsThroughARegularFile) {
  test::TempFolder dir;
  WriteText(dir / "file", "x");
  EXPECT_FALSE(MakeDir(dir / "file/Sub"));
  EXPECT_FALSE(MakeDir(dir / "file"));
  EXPECT_TRUE(fs::is_regular_file(dir / "file"));
}

// The permission bits and the freedesktop.org trash of Linux; the copy and the recycle bin of
// both systems have their contract suite in tests/platform.
#ifndef _WIN32
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(folder)) names.push_back(e.path().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ClearFileAttrs, ReportsAndClearsReadOnly) {
  test::TempFolder dir;
  WriteText(dir / "ro", "x");
  WriteText(dir / "rw", "x");
  fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(dir / "rw", fs::perms::owner_read | fs::perms::group_write);

  EXPECT_EQ(ClearFileAttrs(dir / "ro"), platform::kAttrReadOnly);
  EXPECT_EQ(platform::FileAttributes(dir / "ro"), 0);
  EXPECT_EQ(fs::status(dir / "ro").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(ClearFileAttrs(dir / "ro"), 0);

  // A group write bit already makes the file writable: nothing changes.
  EXPECT_EQ(ClearFileAttrs(dir / "rw"), 0);
  EXPECT_EQ(fs::status(dir / "rw").permissions(), fs::perms::owner_read | fs::perms::group_write);

  EXPECT_EQ(ClearFileAttrs(dir / "missing"), 0);
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

// Each test gets its own trash: XDG_DATA_HOME points into a fresh folder.
class FileCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_DATA_HOME")) saved_ = old;
    test::SetEnv("XDG_DATA_HOME", (data_ / "share"));
  }
  void TearDown() override { test::SetEnv("XDG_DATA_HOME", saved_); }

  std::string Trashed(const std::string& name) const {
    return data_ / ("share/Trash/files/" + name);
  }
  bool TrashIsEmpty() const {
    const std::string files = data_ / "share/Trash/files";
    return !fs::exists(files) || fs::is_empty(files);
  }

  test::TempFolder data_;
  test::TempFolder dir_;
  std::string saved_;
};

TEST_F(FileCopyTest, AMissingSourceLeavesTheTargetAlone) {
  WriteText(dir_ / "target.bgl", "old");
  EXPECT_FALSE(CopyFileTo(dir_ / "missing.bgl", dir_ / "target.bgl", true));
  EXPECT_FALSE(CopyFileTo(dir_.Path(), dir_ / "target.bgl", true));  // a folder is no file
  EXPECT_EQ(ReadText(dir_ / "target.bgl"), "old");
  EXPECT_TRUE(TrashIsEmpty());
}

TEST_F(FileCopyTest, AFileOntoItselfCopiesNothing) {
  WriteText(dir_ / "a.bgl", "data");
  EXPECT_TRUE(CopyFileTo(dir_ / "a.bgl", dir_ / "a.bgl", true));
  // Another spelling of the same file, as a file system that ignores case gives it.
  fs::create_hard_link(dir_ / "a.bgl", dir_ / "A.BGL");
  EXPECT_TRUE(CopyFileTo(dir_ / "a.bgl", dir_ / "A.BGL", true));
  EXPECT_EQ(ReadText(dir_ / "a.bgl"), "data");
  EXPECT_EQ(fs::hard_link_count(dir_ / "a.bgl"), 2u);
  EXPECT_TRUE(TrashIsEmpty());
}

TEST_F(FileCopyTest, NamesThatDifferInCaseAreTwoFilesHere) {
  WriteText(dir_ / "a.bgl", "new");
  WriteText(dir_ / "A.BGL", "old");
  EXPECT_TRUE(CopyFileTo(dir_ / "a.bgl", dir_ / "A.BGL", true));
  EXPECT_EQ(ReadText(dir_ / "A.BGL"), "new");
  EXPECT_EQ(ReadText(Trashed("A.BGL")), "old");
}

TEST_F(FileCopyTest, AnOldReadOnlyTargetGoesToTheTrash) {
  WriteText(dir_ / "a.bgl", "new");
  WriteText(dir_ / "backup.bgl", "old");
  fs::permissions(dir_ / "backup.bgl", fs::perms::owner_read);
  ASSERT_TRUE(CopyFileTo(dir_ / "a.bgl", dir_ / "backup.bgl", true));
  EXPECT_EQ(ReadText(dir_ / "backup.bgl"), "new");
  EXPECT_EQ(ReadText(Trashed("backup.bgl")), "old");
  EXPECT_EQ(platform::FileAttributes(Trashed("backup.bgl")), 0);  // cleared before it went
  EXPECT_TRUE(fs::exists(data_ / "share/Trash/info/backup.bgl.trashinfo"));
}

TEST_F(FileCopyTest, WithoutUndoTheOldTargetIsGoneForGood) {
  WriteText(dir_ / "a.bgl", "new");
  WriteText(dir_ / "backup.bgl", "old");
  ASSERT_TRUE(CopyFileTo(dir_ / "a.bgl", dir_ / "backup.bgl", false));
  EXPECT_EQ(ReadText(dir_ / "backup.bgl"), "new");
  EXPECT_TRUE(TrashIsEmpty());
}

TEST_F(FileCopyTest, WhenTheTrashRefusesTheOldTargetStays) {
  WriteText(data_ / "plain", "");
  test::SetEnv("XDG_DATA_HOME", (data_ / "plain/share"));
  WriteText(dir_ / "a.bgl", "new");
  WriteText(dir_ / "backup.bgl", "old");
  EXPECT_FALSE(CopyFileTo(dir_ / "a.bgl", dir_ / "backup.bgl", true));
  EXPECT_EQ(ReadText(dir_ / "backup.bgl"), "old");
  EXPECT_EQ(Entries(dir_.Path()), (std::vector<std::string>{dir_ / "a.bgl", dir_ / "backup.bgl"}));
}

TEST_F(FileCopyTest, TheCopyCreatesItsFolderAndKeepsModeAndTime) {
  WriteText(dir_ / "a.bgl", std::string(200000, 'z'));
  fs::permissions(dir_ / "a.bgl", fs::perms::owner_read | fs::perms::group_read);
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(50);
  fs::last_write_time(dir_ / "a.bgl", when);

  const std::string target = dir_ / "QORBgl Backup/Sub/a.bgl";
  ASSERT_TRUE(CopyFileTo(dir_ / "a.bgl", target, true));
  EXPECT_EQ(ReadText(target), std::string(200000, 'z'));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(fs::last_write_time(target), when);
  EXPECT_EQ(Entries(dir_ / "QORBgl Backup/Sub"), (std::vector<std::string>{target}));
}

TEST_F(FileCopyTest, AFolderThatCannotBeMadeLeavesNothing) {
  WriteText(dir_ / "a.bgl", "new");
  WriteText(dir_ / "file", "");
  const auto before = Entries(dir_.Path());
  EXPECT_FALSE(CopyFileTo(dir_ / "a.bgl", dir_ / "file/Backup/a.bgl", true));
  EXPECT_EQ(Entries(dir_.Path()), before);
}

TEST_F(FileCopyTest, AFailedReadLeavesNeitherCopyNorNewFolders) {
  // A regular file whose first read fails: the copy breaks off after its folders were made.
  const auto before = Entries(dir_.Path());
  EXPECT_FALSE(CopyFileTo("/proc/self/mem", dir_ / "New/Sub/mem", true));
  EXPECT_EQ(Entries(dir_.Path()), before);
}

TEST_F(FileCopyTest, LongPathsWork) {
  std::string folder = dir_.Path();
  for (int i = 0; i < 4; ++i) folder += "/" + std::string(70, static_cast<char>('a' + i));
  const std::string name = std::string(246, 'n') + ".bgl";
  WriteText(dir_ / "a.bgl", "first");
  ASSERT_GT((folder + "/" + name).size(), 255u);

  ASSERT_TRUE(CopyFileTo(dir_ / "a.bgl", folder + "/" + name, true));
  WriteText(dir_ / "a.bgl", "second");
  ASSERT_TRUE(CopyFileTo(dir_ / "a.bgl", folder + "/" + name, true));
  EXPECT_EQ(ReadText(folder + "/" + name), "second");
  EXPECT_EQ(ReadText(Trashed(std::string(241, 'n') + ".bgl")), "first");

  EXPECT_TRUE(DeleteFileEx(folder + "/" + name, false));
  EXPECT_FALSE(fs::exists(folder + "/" + name));
}

TEST_F(FileCopyTest, DeleteFileExTakesOnlyExistingFiles) {
  EXPECT_FALSE(DeleteFileEx(dir_ / "missing", true));
  EXPECT_FALSE(DeleteFileEx(dir_ / "missing", false));
  fs::create_directory(dir_ / "folder");
  EXPECT_FALSE(DeleteFileEx(dir_ / "folder", false));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
}

TEST_F(FileCopyTest, DeleteFileExRemovesReadOnlyFilesEitherWay) {
  WriteText(dir_ / "undo", "u");
  WriteText(dir_ / "gone", "g");
  fs::permissions(dir_ / "undo", fs::perms::owner_read);
  fs::permissions(dir_ / "gone", fs::perms::owner_read);
  EXPECT_TRUE(DeleteFileEx(dir_ / "undo", true));
  EXPECT_TRUE(DeleteFileEx(dir_ / "gone", false));
  EXPECT_TRUE(fs::is_empty(dir_.Path()));
  EXPECT_EQ(ReadText(Trashed("undo")), "u");
  EXPECT_FALSE(fs::exists(Trashed("gone")));
}

#endif

}  // namespace
}  // namespace qor
