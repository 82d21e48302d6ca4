#include "platform/Folder.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/NameCase.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

using test::Utf8Path;

void Write(const std::string& path) {
  test::WriteText(path, "BG");
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ListFolderFiles, MatchesTheExtensionInAnyCaseAndSkipsTheRest) {
  test::TempFolder dir;
  for (const char* name : {"b.bgl", "A.BGL", "c.Bgl", "éte.bgl", "Zulu.bgl", ".bgl", "x.bglx",
                           "bgl", "noext", "d.txt", "long name.bgl.txt"}) {
    Write(dir / name);
  }
  fs::create_directory(Utf8Path(dir / "folder.bgl"));
  for (const char* extension : {"bgl", "BGL", "bGl"}) {
    const std::vector<std::string> names = ListFolderFiles(dir.Path(), extension);
#ifdef _WIN32
    // In the order the system gives, which Windows leaves to the file system.
    EXPECT_EQ(Sorted(names),
              (std::vector<std::string>{".bgl", "A.BGL", "Zulu.bgl", "b.bgl", "c.Bgl", "éte.bgl"}))
        << extension;
#else
    // As an NTFS folder gives them: by their upper-case form.
    EXPECT_EQ(names,
              (std::vector<std::string>{".bgl", "A.BGL", "b.bgl", "c.Bgl", "Zulu.bgl", "éte.bgl"}))
        << extension;
#endif
  }
}

#ifndef _WIN32
// Windows lets only a privileged user make links, and has no named pipes among files.
TEST(ListFolderFiles, FollowsLinksToFilesOnly) {
  test::TempFolder dir;
  Write(dir / "b.bgl");
  fs::create_directory(dir / "folder.bgl");
  fs::create_symlink(dir / "b.bgl", dir / "link.bgl");
  // Links to a folder or to nothing, and a named pipe, are no files to list.
  fs::create_symlink(dir / "folder.bgl", dir / "folderlink.bgl");
  fs::create_symlink(dir / "gone.bgl", dir / "dangling.bgl");
  ASSERT_EQ(::mkfifo((dir / "pipe.bgl").c_str(), 0644), 0);
  EXPECT_EQ(ListFolderFiles(dir.Path(), "bgl"), (std::vector<std::string>{"b.bgl", "link.bgl"}));
}
#endif

TEST(ListFolderFiles, AnEmptyFolderHasNoFiles) {
  test::TempFolder dir;
  Write(dir / "a.txt");
  EXPECT_TRUE(ListFolderFiles(dir.Path(), "bgl").empty());
}

TEST(ListFolderFiles, AFolderThatCannotBeReadIsAnInputOutputError) {
  test::TempFolder dir;
  Write(dir / "file.bgl");
  for (const std::string& folder : {dir / "absent", dir / "file.bgl"}) {
    try {
      ListFolderFiles(folder, "bgl");
      ADD_FAILURE() << folder;
    } catch (const EInOutError& e) {
      EXPECT_EQ(
          std::string(e.what()).rfind("Impossible de lire le dossier \"" + folder + "\" : ", 0), 0u)
          << e.what();
    }
  }
}

TEST(FolderEntryNames, NamesFilesAndFolders) {
  test::TempFolder dir;
  Write(dir / "a.bgl");
  Write(dir / "été.txt");
  fs::create_directory(Utf8Path(dir / "Sous dossier"));
  EXPECT_EQ(Sorted(FolderEntryNames(dir.Path())),
            (std::vector<std::string>{"Sous dossier", "a.bgl", "été.txt"}));
  EXPECT_TRUE(FolderEntryNames(dir / "absent").empty());
}

TEST(FindNameIgnoringCase, GivesTheEntrysOwnSpelling) {
  test::TempFolder dir;
  Write(dir / "FS9.exe");
  Write(dir / "été.bgl");
  fs::create_directory(Utf8Path(dir / "Scenery"));
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "FS9.exe"), "FS9.exe");
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "fs9.EXE"), "FS9.exe");
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "ÉTÉ.BGL"), "été.bgl");
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "SCENERY"), "Scenery");
  EXPECT_EQ(FindNameIgnoringCase(dir.Path(), "fs9.ex"), "");
}

TEST(DriveRoots, HoldTheTemporaryFolder) {
  const std::vector<std::string> roots = DriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
  for (const std::string& root : roots) EXPECT_EQ(root.back(), kPathDelimiter) << root;
  test::TempFolder dir;
  EXPECT_NE(DriveRootOf(dir.Path(), roots), "") << dir.Path();
}

struct RootCase {
  const char* name;
  const char* path;
  const char* expected;
};

void PrintTo(const RootCase& c, std::ostream* os) {
  *os << c.name;
}

class DriveRootOfTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(DriveRootOfTest, IsTheLongestRootHoldingThePath) {
  const std::vector<std::string> roots = {"/", "/media/usb/", "C:\\", "D:\\"};
  EXPECT_EQ(DriveRootOf(GetParam().path, roots), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DriveRootOfTest,
                         ::testing::Values(RootCase{"Drive", "C:\\Jeux\\FS9", "C:\\"},
                                           RootCase{"DriveInOtherCase", "d:\\scenery", "D:\\"},
                                           RootCase{"BareDrive", "C:", "C:\\"},
                                           RootCase{"Mount", "/media/usb/fs9", "/media/usb/"},
                                           RootCase{"MountItself", "/media/usb", "/media/usb/"},
                                           RootCase{"Root", "/home/pilote", "/"},
                                           RootCase{"None", "E:\\", ""}),
                         [](const ::testing::TestParamInfo<RootCase>& info) {
                           return info.param.name;
                         });

struct CaseCase {
  const char* name;
  const char* a;
  const char* b;
  bool same;
};

void PrintTo(const CaseCase& c, std::ostream* os) {
  *os << c.name;
}

class NameCaseTest : public ::testing::TestWithParam<CaseCase> {};

TEST_P(NameCaseTest, ComparesAsWindowsFoldsNames) {
  EXPECT_EQ(SameNameIgnoringCase(GetParam().a, GetParam().b), GetParam().same);
  EXPECT_EQ(NtfsUpperCase(GetParam().a) == NtfsUpperCase(GetParam().b), GetParam().same);
}

// One character for one: no folding that changes a name's length, no dotted I from i.
INSTANTIATE_TEST_SUITE_P(
    Cases, NameCaseTest,
    ::testing::Values(CaseCase{"Ascii", "airport.bgl", "AIRPORT.BGL", true},
                      CaseCase{"Accents", "aérodrome été", "AÉRODROME ÉTÉ", true},
                      CaseCase{"Greek", "σ", "Σ", true},
                      CaseCase{"Different", "a.bgl", "b.bgl", false},
                      CaseCase{"SharpS", "straße", "STRASSE", false},
                      CaseCase{"DottedI", "i", "\xC4\xB0", false},
                      CaseCase{"StrayBytes", "a\xFF", "A\xFF", true},
                      CaseCase{"OtherStrayBytes", "a\xFF", "a\xFE", false},
                      CaseCase{"StrayAgainstLetter", "\xE9", "\xC3\xA9", false},
                      // Each byte of a sequence cut short is a byte of its own.
                      CaseCase{"CutSequences", "\xE2\x82", "\xE2\x83", false}),
    [](const ::testing::TestParamInfo<CaseCase>& info) { return info.param.name; });

TEST(NtfsUpperCase, FoldsEveryLetterAndKeepsStrayBytesAboveEveryCodePoint) {
  EXPECT_EQ(NtfsUpperCase("aérodrome"), U"AÉRODROME");
  EXPECT_EQ(NtfsUpperCase("a\xff"), (std::u32string{U'A', char32_t{0x110000 + 0xFF}}));
  EXPECT_EQ(NtfsUpperCase("\xffz\xC3"),
            (std::u32string{char32_t{0x110000 + 0xFF}, U'Z', char32_t{0x110000 + 0xC3}}));
}

}  // namespace
}  // namespace qor::platform
