#include "util/Environment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/RegistryStore.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"
#include "util/NumberFormat.h"
#include "util/Settings.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

TEST(SplitProgramPath, FolderAndNameOfOddProgramPaths) {
  struct Row {
    const char* path;
    const char* appFolder;
    const char* progName;
  };
  const Row rows[] = {
      {"/opt/QORBgl/QORBgl", "/opt/QORBgl/", "QORBgl"},
      {"/home/jean/Jeux FS/QORBgl.exe", "/home/jean/Jeux FS/", "QORBgl"},
      {"/d/QORBgl.EXE", "/d/", "QORBgl"},
      {"/dossier.v2/prog.exe.exe", "/dossier.v2/", "prog.exe"},
      {"/srv/Aérodromes/outil", "/srv/Aérodromes/", "outil"},
      {"QORBgl", "/", "QORBgl"},
      {"", "/", ""},
      {"/QORBgl", "/", "QORBgl"},
      {"/a/.exe", "/a/", ""},
  };
  for (const Row& row : rows) {
    const ProgramPlace place = SplitProgramPath(row.path);
    EXPECT_EQ(place.appFolder, row.appFolder) << row.path;
    EXPECT_EQ(place.progName, row.progName) << row.path;
  }
}

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnv("HOME", home_.Path());
    test::SetEnv("XDG_CONFIG_HOME", (home_ / "config"));
    test::SetEnv("XDG_CONFIG_DIRS", (home_ / "etc-xdg"));
    test::SetEnv("XDG_DATA_HOME", (home_ / "data"));
    SetEnvironment("QORBgl", "/opt/QORBgl/", home_ / "Desktop/");
    SetNumberSymbols({",", " "});
  }
  void TearDown() override { SetNumberSymbols(platform::UserNumberSymbols()); }
  test::TempFolder home_;
};

TEST_F(EnvironmentTest, LaunchCountersCountOnFromWhatTheyHold) {
  struct Row {
    const char* stored;  // nullptr: never written
    std::int64_t next;
    const char* written;
  };
  const Row rows[] = {
      {nullptr, 1, "1"},
      {"9", 10, "10"},
      {"abc", 1, "1"},
      {"", 1, "1"},
      {"999", 1000, "1 000"},
      {"1 234", 1235, "1 235"},
      {"1 999 999", 2000000, "2 000 000"},
  };
  for (const Row& row : rows) {
    if (row.stored) WriteProgSetting(false, "Lancements", row.stored);
    EXPECT_EQ(AdvanceLaunchCounter(false), row.next) << (row.stored ? row.stored : "none");
    EXPECT_EQ(ReadProgSetting(false, "Lancements"), row.written);
  }
}

TEST_F(EnvironmentTest, CountersPastAThousandSurviveEveryGroupingSymbol) {
  for (const char* grouping : {".", ",", "'", "\u202f", "\u00a0", ""}) {
    SetNumberSymbols({grouping[0] == ',' ? "." : ",", grouping});
    WriteProgSetting(false, "Lancements", "1233");
    EXPECT_EQ(AdvanceLaunchCounter(false), 1234) << grouping;
    EXPECT_EQ(AdvanceLaunchCounter(false), 1235) << grouping;  // read back its own grouped text
    EXPECT_EQ(ReadProgSetting(false, "Lancements"), std::string("1") + grouping + "235");
  }
}

TEST_F(EnvironmentTest, WithoutRightsOnTheMachineBranchBothCountersLandInTheUserBranch) {
  test::WriteFile(home_ / "etc-xdg", {});  // the machine store's folder runs through a file
  EXPECT_EQ(AdvanceLaunchCounter(true), 1);
  EXPECT_EQ(AdvanceLaunchCounter(false), 2);
  EXPECT_EQ(ReadProgSetting(false, "Lancements"), "2");
}

TEST_F(EnvironmentTest, TheStartUpFillsTheValuesOnceAndCountsOnce) {
  fs::create_directories(home_ / "config");
  std::ofstream(home_ / "config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n";
  InitEnvironment();
  InitEnvironment();  // once per process
  EXPECT_EQ(DesktopFolder(), home_ / "Bureau/");
  EXPECT_EQ(ProgName(), "environment_test");  // the program file running these tests
  EXPECT_EQ(AppFolder().back(), '/');
  EXPECT_TRUE(fs::is_directory(home_ / "data"));
  EXPECT_EQ(ReadProgSetting(true, "Lancements"), "1");
  EXPECT_EQ(ReadProgSetting(false, "Lancements"), "1");
  EXPECT_TRUE(platform::RegistryStore(platform::RegRoot::CurrentUser)
                  .KeyExists("Software\\QOR Soft\\Central"));
}

}  // namespace
}  // namespace qor
