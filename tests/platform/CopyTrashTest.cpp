#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/File.h"
#include "platform/FileOps.h"
#include "platform/Folder.h"
#include "platform/Trash.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

using test::ReadText;
using test::Utf8Path;
using test::WriteText;

bool Exists(const std::string& path) {
  return fs::exists(Utf8Path(path));
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(Utf8Path(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Path parts joined by the system's delimiter.
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string path;
  for (const std::string_view part : parts) {
    if (!path.empty()) path += kPathDelimiter;
    path += part;
  }
  return path;
}

// A temporary folder whose read-only files are made writable again at the end, since Windows
// removes no read-only file.
class FileOpsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(Utf8Path(dir_.Path()), ec)) {
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
  }
  test::TempFolder dir_;
};

const std::string kBytes("BGL\0\r\n\x1A\xFF end", 13);

TEST_F(FileOpsTest, ACopyIsWholeInNewFoldersWithTheSourceTime) {
  const std::string source = dir_ / "Scènes d'été.bgl";
  WriteText(source, kBytes);
  const auto time = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{
      std::chrono::sys_days{std::chrono::year{2004} / 7 / 14} + std::chrono::hours{12}});
  fs::last_write_time(Utf8Path(source), time);
  const std::string folder = Join({dir_.Path(), "Sauvegarde", "été 2004"});
  const std::string target = Join({folder, "copie.bgl"});

  ASSERT_TRUE(CopyFileFlushed(source, target));
  EXPECT_EQ(ReadText(target), kBytes);
  EXPECT_EQ(fs::last_write_time(Utf8Path(target)), time);
  EXPECT_EQ(FolderEntryNames(folder), std::vector<std::string>{"copie.bgl"});  // no temporary
  EXPECT_EQ(FileAttributes(target), 0);
  EXPECT_EQ(ReadText(source), kBytes);

  // A read-only source gives a read-only copy.
  MakeReadOnly(source);
  ASSERT_TRUE(CopyFileFlushed(source, Join({folder, "seule.bgl"})));
  EXPECT_EQ(FileAttributes(Join({folder, "seule.bgl"})), kAttrReadOnly);
  EXPECT_EQ(ReadText(Join({folder, "seule.bgl"})), kBytes);
}

TEST_F(FileOpsTest, AnExistingTargetIsNeverReplaced) {
  WriteText(dir_ / "source.bgl", "new");
  WriteText(dir_ / "target.bgl", "old");
  fs::create_directory(Utf8Path(dir_ / "folder.bgl"));
  EXPECT_FALSE(CopyFileFlushed(dir_ / "source.bgl", dir_ / "target.bgl"));
  EXPECT_FALSE(CopyFileFlushed(dir_ / "source.bgl", dir_ / "folder.bgl"));
  EXPECT_EQ(ReadText(dir_ / "target.bgl"), "old");
  EXPECT_TRUE(fs::is_empty(Utf8Path(dir_ / "folder.bgl")));
  EXPECT_EQ(Sorted(FolderEntryNames(dir_.Path())),
            (std::vector<std::string>{"folder.bgl", "source.bgl", "target.bgl"}));
}

struct FailedCopy {
  const char* name;
  const char* source;  // in the temporary folder, which holds a file "file.bgl" and a folder
  std::string target;  // below the folder "new", which does not exist
};

void PrintTo(const FailedCopy& c, std::ostream* os) {
  *os << c.name;
}

class FailedCopyTest : public FileOpsTest, public ::testing::WithParamInterface<FailedCopy> {};

TEST_P(FailedCopyTest, LeavesNothingBehind) {
  WriteText(dir_ / "file.bgl", kBytes);
  fs::create_directory(Utf8Path(dir_ / "folder"));
  EXPECT_FALSE(CopyFileFlushed(dir_ / GetParam().source, Join({dir_.Path(), GetParam().target})));
  EXPECT_EQ(Sorted(FolderEntryNames(dir_.Path())),
            (std::vector<std::string>{"file.bgl", "folder"}));
  EXPECT_TRUE(fs::is_empty(Utf8Path(dir_ / "folder")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedCopyTest,
    ::testing::Values(FailedCopy{"MissingSource", "missing.bgl", Join({"new", "a.bgl"})},
                      FailedCopy{"FolderSource", "folder", Join({"new", "a.bgl"})},
                      FailedCopy{"NoTargetName", "file.bgl", Join({"new", ""})},
                      // Fails only at the last step, once the folders and the bytes are there.
                      FailedCopy{"TargetNameTooLong", "file.bgl",
                                 Join({"new", "deeper", std::string(300, 'n')})}),
    [](const ::testing::TestParamInfo<FailedCopy>& info) { return info.param.name; });

TEST_F(FileOpsTest, MakeFoldersNamesWhatItMadeOutermostFirst) {
  std::vector<std::string> made;
  ASSERT_TRUE(MakeFolders(Join({dir_.Path(), "a", "b été", "c"}), 0777, &made));
  EXPECT_EQ(made,
            (std::vector<std::string>{Join({dir_.Path(), "a"}), Join({dir_.Path(), "a", "b été"}),
                                      Join({dir_.Path(), "a", "b été", "c"})}));
  EXPECT_TRUE(fs::is_directory(Utf8Path(made.back())));

  // Nothing is missing any more; a trailing delimiter names the same folder.
  made.clear();
  EXPECT_TRUE(MakeFolders(Join({dir_.Path(), "a", "b été", "c"}) + kPathDelimiter, 0777, &made));
  EXPECT_TRUE(made.empty());

  WriteText(dir_ / "file", "x");
  EXPECT_FALSE(MakeFolders(Join({dir_.Path(), "file", "sub"}), 0777, &made));
  EXPECT_FALSE(MakeFolders(dir_ / "file", 0777, &made));
  EXPECT_EQ(ReadText(dir_ / "file"), "x");
}

TEST_F(FileOpsTest, IsSameFileFollowsTheEntryNotTheSpelling) {
  WriteText(dir_ / "a.bgl", "x");
  WriteText(dir_ / "b.bgl", "x");
  fs::create_directory(Utf8Path(dir_ / "sub"));
  EXPECT_TRUE(IsSameFile(dir_ / "a.bgl", dir_ / "a.bgl"));
  EXPECT_TRUE(IsSameFile(dir_ / "a.bgl", Join({dir_.Path(), "sub", "..", "a.bgl"})));
  EXPECT_TRUE(IsSameFile(dir_ / "sub", dir_ / "sub"));
  EXPECT_FALSE(IsSameFile(dir_ / "a.bgl", dir_ / "b.bgl"));  // same bytes, two files
  EXPECT_FALSE(IsSameFile(dir_ / "a.bgl", dir_ / "missing.bgl"));
  EXPECT_FALSE(IsSameFile(dir_ / "missing.bgl", dir_ / "missing.bgl"));
}

TEST_F(FileOpsTest, TheReadOnlyAttributeIsReadAndCleared) {
  WriteText(dir_ / "rw.bgl", "x");
  WriteText(dir_ / "ro.bgl", "x");
  MakeReadOnly(dir_ / "ro.bgl");
  fs::create_directory(Utf8Path(dir_ / "folder"));
  EXPECT_EQ(FileAttributes(dir_ / "rw.bgl"), 0);
  EXPECT_EQ(FileAttributes(dir_ / "ro.bgl"), kAttrReadOnly);
  EXPECT_EQ(FileAttributes(dir_ / "folder"), -1);
  EXPECT_EQ(FileAttributes(dir_ / "missing"), -1);

  EXPECT_EQ(ClearAttributes(dir_ / "ro.bgl"), kAttrReadOnly);
  EXPECT_EQ(FileAttributes(dir_ / "ro.bgl"), 0);
  EXPECT_NO_THROW(File::OpenReadWrite(dir_ / "ro.bgl"));
  EXPECT_EQ(ClearAttributes(dir_ / "ro.bgl"), 0);
  EXPECT_EQ(ClearAttributes(dir_ / "rw.bgl"), 0);
  EXPECT_EQ(ClearAttributes(dir_ / "folder"), 0);
  EXPECT_EQ(ClearAttributes(dir_ / "missing"), 0);
}

TEST_F(FileOpsTest, RemoveFileTakesReadOnlyFilesButNoFolder) {
  WriteText(dir_ / "lecture seule été.bgl", "x");
  MakeReadOnly(dir_ / "lecture seule été.bgl");
  fs::create_directory(Utf8Path(dir_ / "folder"));
  EXPECT_TRUE(RemoveFile(dir_ / "lecture seule été.bgl"));
  EXPECT_FALSE(Exists(dir_ / "lecture seule été.bgl"));
  EXPECT_FALSE(RemoveFile(dir_ / "folder"));
  EXPECT_TRUE(fs::is_directory(Utf8Path(dir_ / "folder")));
  EXPECT_FALSE(RemoveFile(dir_ / "missing"));
}

// Where a trashed file can be looked for; empty where the recycle bin has no folder to see.
std::string TrashFiles() {
#ifdef _WIN32
  // Wine's recycle bin is the freedesktop.org trash of the Unix user, which the Unix
  // environment names; Windows' own shows no folder.
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string("Z:") + data + "/Trash/files";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/')
    return std::string("Z:") + home + "/.local/share/Trash/files";
  return "";
#else
  return HomeTrashFolder() + "/files";
#endif
}

TEST_F(FileOpsTest, ATrashedFileLeavesItsPlaceForTheTrash) {
  // A name of its own: the trash outlives the test runs.
  const std::string name = "Corbeille été " + std::to_string(std::random_device{}()) + ".bgl";
  const std::string path = dir_ / name;
  WriteText(path, kBytes);
  ASSERT_TRUE(MoveToTrash(path));
  EXPECT_FALSE(Exists(path));
  const std::string files = TrashFiles();
  if (files.empty()) GTEST_SKIP() << "no trash folder to look into";
  const std::string entry = files + "/" + name;
  EXPECT_EQ(ReadText(entry), kBytes) << entry;
  std::error_code ec;
  fs::remove(Utf8Path(entry), ec);
  fs::remove(Utf8Path(files + "/../info/" + name + ".trashinfo"), ec);
}

TEST_F(FileOpsTest, OnlyFilesGoToTheTrash) {
  fs::create_directory(Utf8Path(dir_ / "folder"));
  EXPECT_FALSE(MoveToTrash(dir_ / "folder"));
  EXPECT_FALSE(MoveToTrash(dir_ / "missing"));
  EXPECT_FALSE(MoveToTrash(""));
  EXPECT_TRUE(fs::is_directory(Utf8Path(dir_ / "folder")));
}

}  // namespace
}  // namespace qor::platform
