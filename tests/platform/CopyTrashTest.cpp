#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h makes ReplaceFile a name for its own ReplaceFileW; FileOps.h declares ours.
#undef ReplaceFile
#else
#include <sys/stat.h>

#include "platform/SysCalls_posix.h"
#endif

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

// Kilobytes of data at their offsets in a file that is holes elsewhere.
struct Piece {
  std::uint64_t at;
  std::string bytes;
};

// A piece of n bytes, none of them zero, so that a piece copied to the wrong place shows.
Piece PieceAt(std::uint64_t at, std::size_t n = 5000) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(1 + (at + i * 7) % 251);
  return Piece{at, bytes};
}

// A file of size bytes holding the pieces, and holes where the system makes them.
void MakeSparseFile(const std::string& path, std::uint64_t size, const std::vector<Piece>& pieces) {
  {
    const std::unique_ptr<File> file = File::OpenOrCreate(path);
    for (const Piece& piece : pieces)
      file->WriteAt(piece.at, piece.bytes.data(), piece.bytes.size());
  }
  fs::resize_file(Utf8Path(path), size);
}

// The copy has the size and the pieces in their places, with zeros on both sides of each;
// compared piece by piece, not byte by byte through gigabytes.
void ExpectPieces(const std::string& path, std::uint64_t size, const std::vector<Piece>& pieces) {
  const std::unique_ptr<File> file = File::OpenRead(path);
  EXPECT_EQ(file->Size(), size);
  constexpr std::uint64_t kAround = 64;
  for (const Piece& piece : pieces) {
    const std::uint64_t from = piece.at < kAround ? 0 : piece.at - kAround;
    const std::uint64_t to = std::min(size, piece.at + piece.bytes.size() + kAround);
    std::string expected(to - from, '\0');
    expected.replace(piece.at - from, piece.bytes.size(), piece.bytes);
    std::string got(to - from, '\0');
    ASSERT_EQ(file->ReadAt(from, got.data(), got.size()), got.size()) << piece.at;
    EXPECT_TRUE(got == expected) << "the piece at " << piece.at;
  }
}

// The room the file takes on disk; nothing where the tests cannot tell.
std::optional<std::uint64_t> AllocatedBytes(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return std::nullopt;
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_blocks) * 512;
#endif
}

// Gigabytes of holes where the copy keeps them (Linux); where every byte is copied (Windows
// under Wine), a size that copies quickly.
#ifdef _WIN32
constexpr std::uint64_t kHoled = std::uint64_t{16} << 20;
#else
constexpr std::uint64_t kHoled = std::uint64_t{2} << 30;
#endif

TEST_F(FileOpsTest, ASparseFileIsCopiedWithItsHoles) {
  const struct {
    const char* name;
    std::vector<Piece> pieces;
  } rows[] = {
      {"DataAtStartMiddleAndEnd",
       {PieceAt(0), PieceAt(kHoled / 2 + 123), PieceAt(kHoled - 4096, 4096)}},
      {"HolesAtBothEnds", {PieceAt(kHoled / 2 - 70000, 140000)}},
      {"OnlyAHole", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string source = dir_ / (std::string(row.name) + " source.bgl");
    const std::string target = dir_ / (std::string(row.name) + " copie.bgl");
    MakeSparseFile(source, kHoled, row.pieces);
    ASSERT_TRUE(CopyFileFlushed(source, target));
    ExpectPieces(target, kHoled, row.pieces);
    if (const std::optional<std::uint64_t> room = AllocatedBytes(target)) {
      EXPECT_LT(*room, std::uint64_t{4} << 20);
    }
    RemoveFile(source);
    RemoveFile(target);
  }
}

#ifndef _WIN32
// The real calls, but a file system that cannot tell data from holes, or that refuses to set
// the copy's length.
class HoleBlindCalls : public SysCalls {
 public:
  int blindTo = -1;  // SEEK_DATA or SEEK_HOLE
  int truncateErrno = 0;
  off_t LSeek(int fd, off_t offset, int whence) override {
    if (whence != blindTo) return SysCalls::LSeek(fd, offset, whence);
    errno = EINVAL;
    return -1;
  }
  int FTruncate(int fd, off_t size) override {
    if (truncateErrno == 0) return SysCalls::FTruncate(fd, size);
    errno = truncateErrno;
    return -1;
  }
};

TEST_F(FileOpsTest, ACopyThatCannotSeeTheHolesCopiesEveryByte) {
  constexpr std::uint64_t kSize = std::uint64_t{8} << 20;
  const std::vector<Piece> pieces = {PieceAt(0), PieceAt(kSize / 2 + 123),
                                     PieceAt(kSize - 4096, 4096)};
  const struct {
    const char* name;
    int blindTo;
    int truncateErrno;
    bool copied;
  } rows[] = {
      {"NoSeekData", SEEK_DATA, 0, true},
      {"NoSeekHole", SEEK_HOLE, 0, true},
      {"LengthRefused", -1, EIO, false},
  };
  const std::string source = dir_ / "source.bgl";
  MakeSparseFile(source, kSize, pieces);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string target = dir_ / "copie.bgl";
    HoleBlindCalls calls;
    calls.blindTo = row.blindTo;
    calls.truncateErrno = row.truncateErrno;
    {
      const ScopedSysCalls scoped(calls);
      EXPECT_EQ(CopyFileFlushed(source, target), row.copied);
    }
    if (row.copied) {
      ExpectPieces(target, kSize, pieces);
      // Written whole: the seam was taken.
      EXPECT_GE(AllocatedBytes(target).value_or(0), kSize);
      RemoveFile(target);
    }
    EXPECT_EQ(FolderEntryNames(dir_.Path()), std::vector<std::string>{"source.bgl"});
  }
}
#endif

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

// Whether the tests run under Wine, which renames no file over one that is open.
bool UnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

// Which file another holds open while ReplaceFile runs.
enum class Held { kNone, kTarget, kSource };

TEST_F(FileOpsTest, ReplaceFileGivesTheNameInOneStep) {
  const struct {
    const char* name;
    bool source;  // whether the file to rename exists
    bool target;  // whether a file has the name already
    Held held;
    bool replaced;
  } rows[] = {
      {"OverAFile", true, true, Held::kNone, true},
      {"ToANewName", true, false, Held::kNone, true},
      // Linux and Windows 10 put the new file under the name; the holder keeps the old one.
      {"OverAFileHeldOpen", true, true, Held::kTarget, !UnderWine()},
      // Windows renames a file others hold open only when they all share its deletion.
      {"AFileHeldOpen", true, true, Held::kSource, true},
      {"MissingSource", false, true, Held::kNone, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string from = dir_ / (std::string(row.name) + " nouveau.qor");
    const std::string to = dir_ / (std::string(row.name) + " été.qor");
    if (row.source) WriteText(from, "new");
    if (row.target) WriteText(to, "old");
    const std::unique_ptr<File> holder = row.held == Held::kTarget   ? File::OpenOrCreate(to)
                                         : row.held == Held::kSource ? File::OpenOrCreate(from)
                                                                     : nullptr;
    EXPECT_EQ(ReplaceFile(from, to), row.replaced);
    EXPECT_EQ(ReadText(to), row.replaced ? "new" : row.target ? "old" : "");
    EXPECT_EQ(Exists(from), row.source && !row.replaced);
    if (Exists(from)) {
      EXPECT_EQ(ReadText(from), "new");
    }
    if (holder) {
      char buffer[3] = {};
      ASSERT_EQ(holder->ReadAt(0, buffer, 3), 3u);
      EXPECT_EQ(std::string_view(buffer, 3), row.held == Held::kTarget ? "old" : "new");
    }
  }
}

TEST_F(FileOpsTest, RenameFileNeverReplaces) {
  WriteText(dir_ / "a.qor", "a");
  WriteText(dir_ / "b.qor", "b");
  EXPECT_FALSE(RenameFile(dir_ / "a.qor", dir_ / "b.qor"));
  EXPECT_FALSE(RenameFile(dir_ / "missing.qor", dir_ / "c.qor"));
  EXPECT_EQ(ReadText(dir_ / "a.qor"), "a");
  EXPECT_EQ(ReadText(dir_ / "b.qor"), "b");
  EXPECT_TRUE(RenameFile(dir_ / "a.qor", dir_ / "c été.qor"));
  EXPECT_FALSE(Exists(dir_ / "a.qor"));
  EXPECT_EQ(ReadText(dir_ / "c été.qor"), "a");
}

TEST_F(FileOpsTest, RealPathNamesTheFileAsStored) {
  const std::string folder = dir_ / "Dossier été";
  const std::string file = Join({folder, "Fichier d'été.bgl"});
  fs::create_directories(Utf8Path(Join({folder, "sous"})));
  WriteText(file, "x");
  const std::optional<std::string> base = RealPath(dir_.Path());
  ASSERT_TRUE(base);
  // Absolute, and without the system's own prefix for long paths.
  EXPECT_TRUE(Utf8Path(*base).is_absolute()) << *base;
  EXPECT_EQ(base->find('?'), std::string::npos) << *base;

  std::vector<std::pair<const char*, std::string>> rows = {
      {"Plain", file},
      {"DotAndDotDot", Join({dir_.Path(), "Dossier été", ".", "sous", "..", "Fichier d'été.bgl"})},
  };
  // Links where the system makes them (Wine pretends to, and makes none).
  std::error_code ec;
  fs::create_directory_symlink(Utf8Path(folder), Utf8Path(dir_ / "lien"), ec);
  if (fs::exists(Utf8Path(dir_ / "lien"), ec)) {
    rows.emplace_back("FolderLink", Join({dir_.Path(), "lien", "Fichier d'été.bgl"}));
  }
  fs::create_symlink(Utf8Path(file), Utf8Path(dir_ / "lien.bgl"), ec);
  if (fs::exists(Utf8Path(dir_ / "lien.bgl"), ec)) rows.emplace_back("FileLink", dir_ / "lien.bgl");
#ifdef _WIN32
  rows.emplace_back("LetterCase", Join({dir_.Path(), "DOSSIER ÉTÉ", "fichier D'ÉTÉ.BGL"}));
  const std::wstring wide = Utf8Path(file).wstring();
  std::wstring brief(::GetShortPathNameW(wide.c_str(), nullptr, 0), L'\0');
  brief.resize(::GetShortPathNameW(wide.c_str(), brief.data(), static_cast<DWORD>(brief.size())));
  if (!brief.empty() && brief != wide) {
    const std::u8string utf8 = fs::path(brief).u8string();
    rows.emplace_back("ShortName", std::string(utf8.begin(), utf8.end()));
  }
#endif
  const std::string expected = Join({*base, "Dossier été", "Fichier d'été.bgl"});
  for (const auto& [name, path] : rows) EXPECT_EQ(RealPath(path), expected) << name << ": " << path;
  EXPECT_EQ(RealPath(Join({folder, "sous", ".."})), Join({*base, "Dossier été"}));
  EXPECT_EQ(RealPath(dir_ / "missing.bgl"), std::nullopt);
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
