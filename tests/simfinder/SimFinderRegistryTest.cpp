// The simulator finder on Windows: FS2004's keys in the machine branch of the registry itself,
// as its installer writes them for a 32-bit program.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"
#include "platform/Registry.h"
#include "simfinder/QORFS.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

constexpr const char* kKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0";

void WriteExePath(const std::string& value) {
  ASSERT_TRUE(platform::RegWriteValue(platform::RegRoot::LocalMachine, kKey, "EXE Path",
                                      RegValue::Text(value)));
}

TEST(SimFinderRegistryTest, FindsFs2004WhereItsKeysSayAndOnlyWhereItsProgramIs) {
  test::TempFolder fs9;
  test::WriteFile(fs9 / "FS9.EXE", {'M', 'Z'});
  const std::string folder = fs9.Path() + platform::kPathDelimiter;
  for (const std::string& value : {fs9.Path(), "  " + folder + " "}) {
    WriteExePath(value);
    std::string found = "stale";
    EXPECT_TRUE(TFS::FindSimulatorPath(TFS::kFS2004, found)) << value;
    EXPECT_EQ(found, folder) << value;  // the program found in any letter case
  }
  std::string found;
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2002, found));
  std::filesystem::remove(test::Utf8Path(fs9 / "FS9.EXE"));
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2004, found));  // the simulator was removed
  EXPECT_EQ(found, "");
  WriteExePath("   ");
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2004, found));
}

}  // namespace
}  // namespace qor
