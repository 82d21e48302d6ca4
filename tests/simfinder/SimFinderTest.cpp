#include "simfinder/QORFS.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

// A Wine prefix as FS2004's installer leaves it: the machine registry and drive C:.
class SimFinderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnv("WINEPREFIX", prefix_.Path());
    test::SetEnv("XDG_CONFIG_HOME", (home_ / "config"));
    test::SetEnv("XDG_CONFIG_DIRS", (home_ / "etc-xdg"));
    fs::create_directories(prefix_ / "drive_c/Program Files/Microsoft Games/Flight Simulator 9");
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix_ / "dosdevices/c:");
    test::WriteFile(prefix_ / "drive_c/Program Files/Microsoft Games/Flight Simulator 9/fs9.exe",
                    {'M', 'Z'});
  }
  void WriteSystemReg(const std::string& key, const std::string& value) {
    std::ofstream(prefix_ / "system.reg")
        << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
        << "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
        << "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n\n"
        << "[" << key << "] 1700000000\n#time=1da1a2b3c4d5e6f\n"
        << "\"EXE Path\"=\"" << value << "\"\n";
  }
  std::string Fs9Folder() const {
    return prefix_ / "dosdevices/c:/Program Files/Microsoft Games/Flight Simulator 9/";
  }

  test::TempFolder prefix_;
  test::TempFolder home_;
};

constexpr const char* kKey = "Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0";

TEST_F(SimFinderTest, FindsFs2004InTheWinePrefixWhateverTheValuesSpelling) {
  for (const char* value : {"C:\\\\Program Files\\\\Microsoft Games\\\\Flight Simulator 9\\\\",
                            "  C:\\\\Program Files\\\\Microsoft Games\\\\Flight Simulator 9 ",
                            "c:\\\\program files\\\\MICROSOFT GAMES\\\\flight simulator 9"}) {
    WriteSystemReg(kKey, value);
    std::string folder = "stale";
    EXPECT_TRUE(TFS::FindSimulatorPath(TFS::kFS2004, folder)) << value;
    EXPECT_EQ(folder, Fs9Folder()) << value;
  }
  // A 64-bit prefix keeps the 32-bit installer's keys apart.
  WriteSystemReg(
      "Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0",
      "C:\\\\Program Files\\\\Microsoft Games\\\\Flight Simulator 9");
  std::string folder;
  EXPECT_TRUE(TFS::FindSimulatorPath(TFS::kFS2004, folder));
  EXPECT_EQ(folder, Fs9Folder());
}

TEST_F(SimFinderTest, NoSimulatorGivesFalseAndAnEmptyFolder) {
  WriteSystemReg(kKey, "C:\\\\Program Files\\\\Microsoft Games\\\\Flight Simulator 9");
  std::string folder;
  for (const int version :
       {0, 5, int{TFS::kFS98}, int{TFS::kFS2002}}) {  // not installed, or no such version
    EXPECT_FALSE(TFS::FindSimulatorPath(version, folder)) << version;
    EXPECT_EQ(folder, "");
  }
  fs::remove(prefix_ / "drive_c/Program Files/Microsoft Games/Flight Simulator 9/fs9.exe");
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2004, folder));  // the simulator was removed
  EXPECT_EQ(folder, "");
  WriteSystemReg(kKey, "D:\\\\FS9");  // a drive the prefix does not map
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2004, folder));
  WriteSystemReg(kKey, "   ");
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2004, folder));
  fs::remove(prefix_ / "system.reg");  // no Wine at all
  EXPECT_FALSE(TFS::FindSimulatorPath(TFS::kFS2004, folder));
  EXPECT_FALSE(fs::exists(prefix_ / "system.reg"));  // Wine's registry is never written
}

}  // namespace
}  // namespace qor
