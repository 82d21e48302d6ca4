#include "platform/File.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

using test::ReadText;
using test::Utf8Path;
using test::WriteText;

// Takes every write permission away: on Windows that sets the read-only attribute.
void MakeReadOnly(const std::string& path) {
  fs::permissions(Utf8Path(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// A temporary folder whose read-only files are made writable again at the end, since Windows
// removes no read-only file.
class FileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(Utf8Path(dir_.Path()), ec)) {
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
  }
  test::TempFolder dir_;
};

TEST_F(FileTest, ReadsAndWritesAtOffsetsInANameWithAccentsAndSpaces) {
  const std::string path = dir_ / "Aéroport d'été.bgl";
  WriteText(path, "0123456789");
  const std::unique_ptr<File> file = File::OpenReadWrite(path);
  EXPECT_EQ(file->Path(), path);
  EXPECT_EQ(file->Size(), 10u);
  char buffer[8] = {};
  ASSERT_EQ(file->ReadAt(2, buffer, 4), 4u);
  EXPECT_EQ(std::string_view(buffer, 4), "2345");
  // Fewer bytes only where the file ends.
  ASSERT_EQ(file->ReadAt(7, buffer, 8), 3u);
  EXPECT_EQ(std::string_view(buffer, 3), "789");
  EXPECT_EQ(file->ReadAt(10, buffer, 8), 0u);
  EXPECT_EQ(file->ReadAt(100, buffer, 8), 0u);

  file->WriteAt(3, "ab", 2);  // a patch keeps the length
  file->WriteAt(10, "Z", 1);  // a write at the end extends the file
  file->Flush();
  EXPECT_EQ(file->Size(), 11u);
  ASSERT_EQ(file->ReadAt(0, buffer, 8), 8u);
  EXPECT_EQ(std::string_view(buffer, 8), "012ab567");
  // Shared: another reader sees the bytes while the file is open.
  EXPECT_EQ(ReadText(path), "012ab56789Z");
}

TEST_F(FileTest, TheStampTellsTheFileAndItsChanges) {
  const std::string path = dir_ / "a.bgl";
  WriteText(path, "four");
  WriteText(dir_ / "b.bgl", "four");
  const std::unique_ptr<File> file = File::OpenReadWrite(path);
  const File::Stamp opened = file->CurrentStamp();
  EXPECT_EQ(StampOfPath(path), opened);
  EXPECT_EQ(opened.size, 4u);
  const std::optional<File::Stamp> other = StampOfPath(dir_ / "b.bgl");
  ASSERT_TRUE(other);
  EXPECT_FALSE(other->device == opened.device && other->inode == opened.inode);

  file->WriteAt(4, "more", 4);
  const File::Stamp grown = file->CurrentStamp();
  EXPECT_EQ(grown.size, 8u);
  EXPECT_EQ(grown.inode, opened.inode);
  EXPECT_EQ(StampOfPath(path), grown);

  // A change of time alone shows, in nanoseconds.
  const auto noon = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{
      std::chrono::sys_days{std::chrono::year{2004} / 7 / 14} + std::chrono::hours{12}});
  fs::last_write_time(Utf8Path(path), noon);
  const File::Stamp atNoon = file->CurrentStamp();
  fs::last_write_time(Utf8Path(path), noon + std::chrono::hours{1});
  const File::Stamp later = file->CurrentStamp();
  EXPECT_EQ(later.modifiedNs - atNoon.modifiedNs, 3'600'000'000'000);
  EXPECT_EQ(later.size, grown.size);
  EXPECT_EQ(StampOfPath(path), later);

  EXPECT_EQ(StampOfPath(dir_ / "missing.bgl"), std::nullopt);
}

struct Refusal {
  const char* name;
  std::string file;
  std::function<void(const std::string&)> make;
  const char* tail;  // the message after the quoted path
};

void PrintTo(const Refusal& c, std::ostream* os) {
  *os << c.name;
}

class OpenRefusalTest : public FileTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(OpenRefusalTest, NamesTheFileAndWhy) {
  const std::string path = dir_ / GetParam().file;
  GetParam().make(path);
  try {
    File::OpenReadWrite(path);
    FAIL() << "opened";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Impossible d'ouvrir le fichier \"" + path + "\"" + GetParam().tail);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenRefusalTest,
    ::testing::Values(
        Refusal{"Folder", "dossier.bgl",
                [](const std::string& p) { fs::create_directory(Utf8Path(p)); },
                " : c'est un dossier."},
        // Refused for the administrator too, as the read-only attribute is.
        Refusal{"ReadOnly", "lecture seule.bgl",
                [](const std::string& p) {
                  WriteText(p, "x");
                  MakeReadOnly(p);
                },
                " en écriture : il est en lecture seule (accès refusé)."},
        Refusal{"Missing", "Été à Orly.bgl", [](const std::string&) {}, " : fichier introuvable."},
        Refusal{"ThroughAFile", "fichier.bgl" + std::string(1, kPathDelimiter) + "a.bgl",
                [](const std::string& p) { WriteText(p.substr(0, p.rfind(kPathDelimiter)), "x"); },
                " : chemin invalide."}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

#ifdef _WIN32
// Only Windows lets a program hold a file for itself alone.
TEST_F(FileTest, AFileAnotherProgramHoldsIsRefused) {
  const std::string path = dir_ / "held.bgl";
  WriteText(path, "held");
  const HANDLE held = ::CreateFileW(Utf8Path(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  char buffer[4];
  EXPECT_EQ(ReadStartOfFile(path, buffer, 4), std::nullopt);
  try {
    File::OpenReadWrite(path);
    ADD_FAILURE() << "opened";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier \"" + path +
                                         "\" : fichier utilisé par un autre programme.");
  }
  ::CloseHandle(held);
}
#endif

struct QuickLook {
  const char* name;
  const char* file;
  std::function<void(const std::string&)> make;
  std::size_t n;
  std::optional<std::string> expected;
};

void PrintTo(const QuickLook& c, std::ostream* os) {
  *os << c.name;
}

std::function<void(const std::string&)> Holding(std::string bytes) {
  return [bytes](const std::string& p) { WriteText(p, bytes); };
}

class ReadStartTest : public FileTest, public ::testing::WithParamInterface<QuickLook> {};

// The same answer by the file's path and by its name in the open folder, as the listing asks.
TEST_P(ReadStartTest, ReadsWhatOpenReadWriteWouldOpen) {
  const QuickLook& c = GetParam();
  c.make(dir_ / c.file);
  const std::optional<OpenFolder> folder = OpenFolder::Open(dir_.Path());
  ASSERT_TRUE(folder);
  char byPath[16] = {};
  char byName[16] = {};
  const std::optional<std::size_t> got = ReadStartOfFile(dir_ / c.file, byPath, c.n);
  EXPECT_EQ(ReadStartOfFile(*folder, c.file, byName, c.n), got);
  ASSERT_EQ(got.has_value(), c.expected.has_value());
  if (got) {
    EXPECT_EQ(std::string(byPath, *got), *c.expected);
    EXPECT_EQ(std::string(byName, *got), *c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadStartTest,
    ::testing::Values(
        QuickLook{"Longer", "long.bgl", Holding("0123456789"), 4, "0123"},
        QuickLook{"Shorter", "short.bgl", Holding("012"), 8, "012"},
        QuickLook{"Empty", "empty.bgl", Holding(""), 8, ""},
        QuickLook{"Accented", "Aéroport d'été.bgl", Holding("abc"), 8, "abc"},
        QuickLook{"ReadOnly", "ro.bgl",
                  [](const std::string& p) {
                    WriteText(p, "012");
                    MakeReadOnly(p);
                  },
                  8, std::nullopt},
        QuickLook{"Folder", "folder.bgl",
                  [](const std::string& p) { fs::create_directory(Utf8Path(p)); }, 8, std::nullopt},
        QuickLook{"Missing", "missing.bgl", [](const std::string&) {}, 8, std::nullopt}),
    [](const ::testing::TestParamInfo<QuickLook>& info) { return info.param.name; });

TEST_F(FileTest, AnOpenFolderReadsOnlyItsOwnNames) {
  const std::string inner = dir_ / "Dossier été";
  fs::create_directory(Utf8Path(inner));
  WriteText(inner + kPathDelimiter + "a.bgl", "abc");
  // The path may end in the delimiter or not.
  for (const std::string& path : {inner, inner + kPathDelimiter}) {
    const std::optional<OpenFolder> folder = OpenFolder::Open(path);
    ASSERT_TRUE(folder) << path;
    char buffer[4] = {};
    EXPECT_EQ(ReadStartOfFile(*folder, "a.bgl", buffer, 4), 3u);
  }

  const std::optional<OpenFolder> outer = OpenFolder::Open(dir_.Path());
  ASSERT_TRUE(outer);
  char buffer[4] = {};
  EXPECT_EQ(ReadStartOfFile(*outer, "", buffer, 4), std::nullopt);
  EXPECT_EQ(ReadStartOfFile(*outer, "Dossier été/a.bgl", buffer, 4), std::nullopt);
#ifdef _WIN32
  EXPECT_EQ(ReadStartOfFile(*outer, "Dossier été\\a.bgl", buffer, 4), std::nullopt);
#endif

  EXPECT_FALSE(OpenFolder::Open(dir_ / "missing"));
  EXPECT_FALSE(OpenFolder::Open(inner + kPathDelimiter + "a.bgl"));  // a file, no folder
}

TEST_F(FileTest, ExistenceTellsFilesFromFolders) {
  WriteText(dir_ / "fichier été.bgl", "x");
  fs::create_directory(Utf8Path(dir_ / "dossier été"));
  EXPECT_TRUE(FileExists(dir_ / "fichier été.bgl"));
  EXPECT_FALSE(FolderExists(dir_ / "fichier été.bgl"));
  EXPECT_FALSE(FileExists(dir_ / "dossier été"));
  EXPECT_TRUE(FolderExists(dir_ / "dossier été"));
  EXPECT_FALSE(FileExists(dir_ / "missing"));
  EXPECT_FALSE(FolderExists(dir_ / "missing"));
}

}  // namespace
}  // namespace qor::platform
