// The damage scan of a folder: every BGL file read whole, none opened for writing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "library/DamageScan.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor::library {
namespace {

using test::BglBuilder;

TEST(DamageScanTest, EachUnreadableFileIsNamedWithWhy) {
  BglBuilder good;
  good.AddSection(3).AddSubSection().AddAirport().Name("Nord");
  BglBuilder tooManySections;
  tooManySections.SectionCount(1000).AddSection(3).AddSubSection().AddAirport().Name("Sud");
  const struct {
    const char* name;
    test::Bytes bytes;
    const char* says;  // nullptr: read; "": of the older format; else a part of the message
  } rows[] = {
      {"b.bgl", good.Build(), nullptr},
      {"A.BGL", tooManySections.Build(), "le répertoire des sections annonce 1000 entrées"},
      {"c.bgl", {0x01, 0x00, 0x00, 0x00}, ""},
      {"d.bgl", {0x01}, "trop court pour contenir un en-tête"},
      {"e.bgl", {0x5A, 0xC3, 0x00, 0x00}, "il commence par $C35A"},
      {"notes.txt", {0x5A}, nullptr},  // no BGL file: not examined
  };
  test::TempFolder dir;
  for (const auto& row : rows) test::WriteFile(dir / row.name, row.bytes);
  // Only read: a file that cannot be written is no damaged one.
  test::WriteFile(dir / "f.bgl", good.Build());
  std::filesystem::permissions(dir / "f.bgl", std::filesystem::perms::owner_read);

  const DamageScan scan = ScanForDamage(dir.Path() + platform::kPathDelimiter);
  EXPECT_EQ(scan.checked, 6u);
  EXPECT_TRUE(scan.damaged);
  std::vector<std::string> expected;
  for (const auto& row : rows) {
    if (row.says != nullptr) expected.push_back(row.name);
  }
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> named;
  for (const UnreadableFile& f : scan.files) {
    named.push_back(f.name);
    const auto row = std::find_if(std::begin(rows), std::end(rows),
                                  [&](const auto& r) { return r.name == f.name; });
    ASSERT_NE(row, std::end(rows)) << f.name;
    ASSERT_NE(row->says, nullptr) << f.name;
    EXPECT_EQ(f.olderFormat, *row->says == '\0') << f.name;
    EXPECT_NE(f.message.find(*row->says == '\0' ? "ancien format" : row->says), std::string::npos)
        << f.message;
  }
  std::sort(named.begin(), named.end());  // the order is the folder listing's, under Wine too
  EXPECT_EQ(named, expected);

  // The older format alone is no damage.
  test::TempFolder older;
  test::WriteFile(older / "vieux.bgl", {0x01, 0x00});
  test::WriteFile(older / "bon.bgl", good.Build());
  const DamageScan olderScan = ScanForDamage(older.Path() + platform::kPathDelimiter);
  EXPECT_EQ(olderScan.checked, 2u);
  EXPECT_EQ(olderScan.files.size(), 1u);
  EXPECT_FALSE(olderScan.damaged);

  EXPECT_THROW(ScanForDamage(dir / "absent" + platform::kPathDelimiter), EInOutError);
}

}  // namespace
}  // namespace qor::library
