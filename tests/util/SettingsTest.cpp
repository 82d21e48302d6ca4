#include "util/Settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/RegistryStore.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"
#include "util/Environment.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using platform::RegistryStore;
using platform::RegRoot;

constexpr const char* kProgKey = "Software\\QOR Soft\\QORBgl";
// A machine-wide key of another program that the machine store holds.
constexpr const char* kMachineKey = "\\Software\\QOR Soft\\Partagé";
constexpr const char* kSimKey = "\\Software\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0";

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnv("XDG_CONFIG_HOME", (temp_ / "home"));
    test::SetEnv("XDG_CONFIG_DIRS", (temp_ / "xdg"));
    SetEnvironment("QORBgl", temp_.Path() + "/", temp_.Path() + "/Desktop/");
  }
  static RegistryStore User() { return RegistryStore(RegRoot::CurrentUser); }
  static RegistryStore Machine() { return RegistryStore(RegRoot::LocalMachine); }
  // The machine branch as an account without rights there sees it.
  void MachineUnwritable() {
    std::ofstream(temp_ / "plain") << "x";
    test::SetEnv("XDG_CONFIG_DIRS", (temp_ / "plain"));
  }
  test::TempFolder temp_;
};

TEST_F(SettingsTest, TheProgramKeyIsNamedAfterTheProgram) {
  EXPECT_EQ(ProgKey(), "\\Software\\QOR Soft\\QORBgl");
  WriteSetting("Dir", "/home/pilote/Scènes \"FS9\"\\");
  EXPECT_EQ(User().ReadValue(kProgKey, "Dir"), RegValue::Text("/home/pilote/Scènes \"FS9\"\\"));
  EXPECT_EQ(ReadSetting("dir"), "/home/pilote/Scènes \"FS9\"\\");
  EXPECT_FALSE(Machine().KeyExists(kProgKey));
  WriteSetting("Dir", "");
  EXPECT_EQ(ReadSetting("Dir"), "");

  WriteProgSetting(true, "Lancements", "1 234");
  EXPECT_EQ(Machine().ReadValue(kProgKey, "Lancements"), RegValue::Text("1 234"));
  EXPECT_EQ(ReadProgSetting(true, "Lancements"), "1 234");
  EXPECT_EQ(ReadProgSetting(false, "Lancements"), "");

  RegWriteStr(false, "\\SOFTWARE\\qor soft\\Central\\", "Initiales", "JD");
  EXPECT_EQ(RegReadStr(false, "\\Software\\QOR Soft\\Central", "INITIALES"), "JD");
}

TEST_F(SettingsTest, ASettingNeverWrittenReadsEmptyAndLeavesItsKeyBehind) {
  EXPECT_EQ(ReadSetting("fMain"), "");
  EXPECT_TRUE(User().KeyExists(kProgKey));
  EXPECT_FALSE(Machine().KeyExists(kProgKey));
  EXPECT_EQ(RegReadStr(false, "\\Software\\QOR Soft\\Central", "Nom utilisateur"), "");
  EXPECT_TRUE(User().KeyExists("Software\\QOR Soft\\Central"));
}

TEST_F(SettingsTest, AMachineReadOnlyReads) {
  // The machine branch is opened for reading: nothing is made there, nor on the user branch.
  EXPECT_EQ(RegReadStr(true, kMachineKey, "Dossier"), "");
  EXPECT_FALSE(Machine().KeyExists(kMachineKey + 1));
  EXPECT_FALSE(User().KeyExists(kMachineKey + 1));
  // The simulator's keys belong to the Wine prefix's registry, which is read, never written.
  EXPECT_EQ(RegReadStr(true, kSimKey, "EXE Path"), "");
  EXPECT_FALSE(Machine().KeyExists(kSimKey + 1));
}

TEST_F(SettingsTest, WithoutRightsOnTheMachineBranchWritesLandOnTheUserBranch) {
  MachineUnwritable();
  WriteProgSetting(true, "Lancements", "7");
  EXPECT_EQ(User().ReadValue(kProgKey, "Lancements"), RegValue::Text("7"));
  // ... and a read of the machine branch, which holds no such value, does not fall back.
  EXPECT_EQ(ReadProgSetting(true, "Lancements"), "");
  EXPECT_EQ(ReadProgSetting(false, "Lancements"), "7");
}

// An account that may not write the machine branch still reads it: the simulator's folder, say.
TEST_F(SettingsTest, WithoutRightsOnTheMachineBranchItsValuesStillRead) {
  ASSERT_TRUE(Machine().WriteValue(kMachineKey + 1, "Dossier", RegValue::Text("C:\\FS9\\")));
  EXPECT_EQ(RegReadStr(true, kMachineKey, "Dossier"), "C:\\FS9\\");
  const fs::path folder = fs::path(Machine().File()).parent_path();
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(RegReadStr(true, kMachineKey, "Dossier"), "C:\\FS9\\");
  fs::permissions(folder, fs::perms::owner_all);
}

TEST_F(SettingsTest, OnlyTextValuesReadAndANonTextMachineValueIsReadOnTheUserBranch) {
  struct Case {
    const char* what;
    RegValue machine;
    const char* expected;  // with "user" under the same name in the user branch
  };
  RegValue emptyDword{kRegDword, ""};
  const Case cases[] = {
      {"text", RegValue::Text("machine"), "machine"},
      {"expandable text, nothing expanded", RegValue::Text("%ProgramFiles%\\FS9", 2),
       "%ProgramFiles%\\FS9"},
      {"text up to its first zero", RegValue::Text(std::string("ab\0cd", 5)), "ab"},
      {"empty text, no fall-back", RegValue::Text(""), ""},
      {"DWORD: read again on the user branch", RegValue::Dword(10), "user"},
      {"binary: read again on the user branch", RegValue{kRegBinary, "xy"}, "user"},
      {"multi-text: read again on the user branch", RegValue::Text("a", 7), "user"},
      {"a value of size 0 is empty whatever its type", emptyDword, ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Machine().WriteValue("Software\\T", "v", c.machine));
    RegWriteStr(false, "\\Software\\T", "v", "user");
    EXPECT_EQ(RegReadStr(true, "\\Software\\T", "v"), c.expected) << c.what;
  }
  // On the user branch a non-text value reads as empty.
  ASSERT_TRUE(User().WriteValue("Software\\T", "v", RegValue::Dword(10)));
  EXPECT_EQ(RegReadStr(false, "\\Software\\T", "v"), "");
  EXPECT_EQ(RegReadStr(true, "\\Software\\T", "v"), "");
}

TEST_F(SettingsTest, AUserBranchThatCannotBeWrittenLosesWritesSilently) {
  std::ofstream(temp_ / "plain") << "x";
  test::SetEnv("XDG_CONFIG_HOME", (temp_ / "plain"));
  MachineUnwritable();
  EXPECT_NO_THROW(WriteSetting("Onglet", "2"));
  EXPECT_NO_THROW(WriteProgSetting(true, "Lancements", "3"));
  EXPECT_EQ(ReadSetting("Onglet"), "");
  EXPECT_EQ(ReadProgSetting(true, "Lancements"), "");
  // A key path Windows refuses is no error for the caller either.
  EXPECT_NO_THROW(RegWriteStr(false, "\\Software\\\\x", "n", "v"));
  EXPECT_EQ(RegReadStr(false, "\\Software\\\\x", "n"), "");
}

}  // namespace
}  // namespace qor
