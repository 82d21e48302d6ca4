#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "bgl/BglHeader.h"
#include "platform/Errors.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

using test::BglBuilder;
using test::Bytes;

class BglFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    test::WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  std::string Desktop() const { return dir_.Path() + "/Bureau/"; }
  test::TempFolder dir_;
};

TEST_F(BglFileTest, TheHeaderWordIsReadLittleEndianAndOthersAreRefusedByName) {
  BglBuilder good;
  const std::string ok = Write("ok.bgl", good.Build());
  EXPECT_TRUE(TBGL::CanRead(ok));
  EXPECT_EQ(TBGL(ok, Desktop()).Header, 0x0201);

  // Below and above the one word read: 0x0102 is stored as the bytes 02 01.
  const struct {
    std::uint16_t word;
    const char* shown;
  } rows[] = {{0x0102, "$0102"}, {0x0301, "$0301"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    BglBuilder other;
    other.HeaderWord(row.word).AddSection(3).AddSubSection().AddAirport().Name("Nord");
    const std::string bad = Write("bad.bgl", other.Build());
    EXPECT_FALSE(TBGL::CanRead(bad));
    try {
      TBGL bgl(bad, Desktop());
      ADD_FAILURE() << "opened";
    } catch (const EInOutError&) {
      ADD_FAILURE() << "an input/output error";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()),
                "(TBGL.Create)\r\n\r\nJe ne sais pas explorer les BGLs de type " +
                    std::string(row.shown) +
                    ".\r\n\r\nJe ne reconnais (pour le moment) que les BGLs\r\ndu type $0201 "
                    "introduits par FS9 (FS2004).");
    }
  }
}

TEST_F(BglFileTest, AMissingFileIsNamedInTheMessage) {
  const std::string path = dir_ / "absent.bgl";
  EXPECT_FALSE(TBGL::CanRead(path));
  try {
    TBGL bgl(path, Desktop());
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "(TBGL.Create) Je ne trouve pas le fichier \"" + path + "\".");
  }
  EXPECT_THROW(TBGL(dir_.Path(), Desktop()), Exception);  // a folder is no file

  // A newline or a byte that is not UTF-8 in the name is spelled out, not left to break the
  // message's line.
  const std::string odd = dir_ / "deux\nlignes \xE9.bgl";
  try {
    TBGL bgl(odd, Desktop());
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "(TBGL.Create) Je ne trouve pas le fichier \"" +
                                         (dir_ / "deux\\nlignes \\xE9.bgl\"."));
  }
}

TEST_F(BglFileTest, CanReadRefusesShortReadOnlyAndOtherFiles) {
  // Every answer is the same by the file's path and by its name in the open folder, as the
  // folder listing asks it.
  const std::optional<platform::OpenFolder> folder = platform::OpenFolder::Open(dir_.Path());
  ASSERT_TRUE(folder);
  auto canRead = [&](const std::string& name) {
    const bool byPath = TBGL::CanRead(dir_ / name);
    EXPECT_EQ(TBGL::CanRead(*folder, name), byPath) << name;
    return byPath;
  };
  Write("empty.bgl", {});
  Write("one.bgl", {0x01});
  Write("two.bgl", {0x01, 0x02});
  Write("old.bgl", {0x01, 0x00, 0x00, 0x00});
  EXPECT_FALSE(canRead("empty.bgl"));
  EXPECT_FALSE(canRead("one.bgl"));  // no error for a one-byte file
  EXPECT_TRUE(canRead("two.bgl"));
  EXPECT_FALSE(canRead("old.bgl"));

  BglBuilder b;
  const std::string readOnly = Write("ro.bgl", b.Build());
  std::filesystem::permissions(
      readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  // Refused for every user, the administrator included, as the read-only attribute is.
  EXPECT_FALSE(canRead("ro.bgl"));
  EXPECT_THROW(TBGL(readOnly, Desktop()), EInOutError);

  // Names that lead to no regular file: a folder, a named pipe (which must not stall the
  // listing), a missing file; a link to a good file counts as that file.
  std::filesystem::create_directory(dir_ / "folder.bgl");
  EXPECT_FALSE(canRead("folder.bgl"));
  EXPECT_FALSE(canRead("missing.bgl"));
#ifndef _WIN32  // named pipes and links in a folder are Linux's
  ASSERT_EQ(::mkfifo((dir_ / "pipe.bgl").c_str(), 0644), 0);
  EXPECT_FALSE(canRead("pipe.bgl"));
  std::filesystem::create_symlink(dir_ / "two.bgl", dir_ / "link.bgl");
  EXPECT_TRUE(canRead("link.bgl"));
#endif

  // In the folder, only a name of its own: none that leads elsewhere, and not the folder.
  std::filesystem::create_directory(dir_ / "inner");
  Write("inner/two.bgl", {0x01, 0x02});
  EXPECT_FALSE(TBGL::CanRead(*folder, "inner/two.bgl"));
  EXPECT_FALSE(TBGL::CanRead(*folder, ""));
  EXPECT_FALSE(platform::OpenFolder::Open(dir_ / "two.bgl"));  // a file, no folder
}

// The first word tells the three kinds of file apart, read little-endian; a damaged file's
// message names the file and the word found, or says that it is too short to hold one.
TEST_F(BglFileTest, TheHeaderWordTellsReadableOlderAndDamagedFiles) {
  const struct {
    Bytes bytes;
    HeaderKind kind;
    const char* says;
  } rows[] = {
      {{0x01, 0x02, 0xFF}, HeaderKind::kReadable, ""},
      {{0x01, 0x00}, HeaderKind::kOlderFormat, ""},
      {{0x02, 0x01}, HeaderKind::kDamaged, "il commence par $0102, ni $0201 (FS2004) ni $0001"},
      {{0x00, 0x01}, HeaderKind::kDamaged, "il commence par $0100, ni $0201"},
      {{0x01}, HeaderKind::kDamaged, "trop court pour contenir un en-tête (1 octet)."},
      {{}, HeaderKind::kDamaged, "trop court pour contenir un en-tête (0 octet)."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.bytes));
    EXPECT_EQ(HeaderKindOf(row.bytes), row.kind);
    const std::string path = Write("h.bgl", row.bytes);
    const HeaderCheck check = CheckHeader(path);
    EXPECT_EQ(check.kind, row.kind);
    if (row.kind == HeaderKind::kDamaged) {
      EXPECT_EQ(check.message.rfind("Le fichier \"" + path + "\" est endommagé", 0), 0u)
          << check.message;
    }
    EXPECT_NE(check.message.find(row.says), std::string::npos) << check.message;
  }
  EXPECT_THROW(CheckHeader(dir_ / "absent.bgl"), EInOutError);
}

TEST_F(BglFileTest, SectionsAndSubsectionsAreWalkedInDirectoryOrder) {
  BglBuilder b;
  b.AddSection(3).AddSubSection(0x11).AddAirport().Name("Un");
  b.sections.back().AddSubSection(0x12).AddAirport().Name("Deux");
  b.AddSection(39).AddSubSection(0x21).Count(5).Data({1, 0, 2, 0});
  auto& other = b.AddSection(19);
  other.AddSubSection(0x31).Count(4).Data(Bytes(40, 1));
  other.AddSubSection(0x32);
  const TBGL bgl(Write("f.bgl", b.Build()), Desktop());

  ASSERT_EQ(bgl.Sections.size(), 3u);
  EXPECT_EQ(bgl.Sections[0]->SectionType, 3u);
  ASSERT_EQ(bgl.Sections[0]->SubSections.size(), 2u);
  EXPECT_EQ(bgl.Sections[0]->SubSections[1]->Id, 0x12u);
  EXPECT_EQ(bgl.Sections[0]->SubSections[1]->Section, bgl.Sections[0].get());
  // A name list holds exactly one record whatever its count says, never walked past.
  ASSERT_EQ(bgl.Sections[1]->SubSections[0]->Records.size(), 1u);
  EXPECT_EQ(bgl.Sections[1]->SubSections[0]->Records[0]->Size, TRecord::kNameListRecordSize);
  EXPECT_EQ(bgl.Sections[1]->SubSections[0]->Records[0]->Id, 1u);
  // Other sections keep their subsections but no records.
  ASSERT_EQ(bgl.Sections[2]->SubSections.size(), 2u);
  EXPECT_TRUE(bgl.Sections[2]->SubSections[0]->Records.empty());
  EXPECT_EQ(bgl.AirportCount(), 2);
}

TEST_F(BglFileTest, NoSectionsGiveNoAirports) {
  BglBuilder b;
  const TBGL bgl(Write("f.bgl", b.Build()), Desktop());
  EXPECT_TRUE(bgl.Sections.empty());
  EXPECT_EQ(bgl.AirportCount(), 0);
}

TEST_F(BglFileTest, AnEarlierBackupNamedWithBakMarksTheBackupDone) {
  BglBuilder b;
  const std::string path = Write("AP1.bgl", b.Build());
  EXPECT_FALSE(TBGL(path, Desktop()).BackupDone);

  std::filesystem::create_directories(Desktop() + "QORBgl Backup");
  test::WriteFile(Desktop() + "QORBgl Backup/AP1.bgl", {1});  // the plain name does not count
  EXPECT_FALSE(TBGL(path, Desktop()).BackupDone);
  test::WriteFile(Desktop() + "QORBgl Backup/AP1.bgl.bak", {1});
  EXPECT_TRUE(TBGL(path, Desktop()).BackupDone);
}

}  // namespace
}  // namespace qor
