#include "platform/Registry.h"

#include <string>

#include <gtest/gtest.h>

#include "util/Settings.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/Text_win32.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/RegistryStore.h"
#include "tests/support/TempFolder.h"
#endif

namespace qor::platform {
namespace {

// --- Each system's way to keep the tests off the real settings --------------------------------
// Both branches are used under a key of the test's own. Windows has one registry: that key is
// removed at the end (under Wine the prefix is the tests' own as well). Linux keeps each branch
// in a file, which goes to a temporary folder.

#ifdef _WIN32

unsigned long ProcessId() {
  return ::GetCurrentProcessId();
}

HKEY RootKey(RegRoot root) {
  return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The key and everything below it, in the view the program uses.
void RemoveKey(RegRoot root, const std::string& key) {
  const std::size_t last = key.rfind('\\');
  HKEY parent = nullptr;
  if (::RegOpenKeyExW(RootKey(root), Wide(key.substr(0, last)).c_str(), 0,
                      KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent) != ERROR_SUCCESS) {
    return;
  }
  ::RegDeleteTreeW(parent, Wide(key.substr(last + 1)).c_str());
  ::RegCloseKey(parent);
}

// Gives everyone every right on the key but, when denied, the right to set values and make
// keys: an account without administrator rights sees a machine key so. False when the rights
// could not be set, or the system lets the key be opened for writing in spite of them.
bool SetWriteDenied(const std::string& key, bool denied) {
  const std::wstring path = Wide(key);
  HKEY handle = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC | KEY_WOW64_32KEY, &handle) !=
      ERROR_SUCCESS) {
    return false;
  }
  BYTE everyone[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof everyone;
  BYTE aclBytes[512];
  auto* acl = reinterpret_cast<ACL*>(aclBytes);
  SECURITY_DESCRIPTOR descriptor;
  const bool set =
      ::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &sidSize) &&
      ::InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) &&
      (!denied ||
       ::AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, everyone)) &&
      ::AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone) &&
      ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      ::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
      ::RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
  ::RegCloseKey(handle);
  if (!set || !denied) return set;
  HKEY writable = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                      &writable) == ERROR_SUCCESS) {
    ::RegCloseKey(writable);
    return false;
  }
  return true;
}

#else

unsigned long ProcessId() {
  return static_cast<unsigned long>(::getpid());
}

// Sets an environment variable for the test's life.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

#endif

class RegistryContract : public ::testing::Test {
 protected:
  ~RegistryContract() override {
#ifdef _WIN32
    SetWriteDenied(key_, false);
    RemoveKey(RegRoot::CurrentUser, key_);
    RemoveKey(RegRoot::LocalMachine, key_);
#else
    ::chmod(machineFolder_.c_str(), 0755);
#endif
  }

  // The test's own key, or a key below it.
  std::string Key(const std::string& below = "") const {
    return below.empty() ? key_ : key_ + "\\" + below;
  }

  // Writes a value on the machine branch, then takes the right to change that branch away as
  // an account without administrator rights finds it. False when the system would not (an
  // account that may not make the key, or a system that does not enforce the rights).
  bool MachineValueWithoutWriteRights(const std::string& name, const RegValue& value) {
    if (!RegWriteValue(RegRoot::LocalMachine, key_, name, value)) return false;
#ifdef _WIN32
    return SetWriteDenied(key_, true);
#else
    return ::chmod(machineFolder_.c_str(), 0555) == 0;  // the store refuses it to root too
#endif
  }

  const std::string key_ = "Software\\QOR Soft\\Contract test " + std::to_string(ProcessId());
#ifndef _WIN32
  test::TempFolder temp_;
  ScopedEnv userBranch_{"XDG_CONFIG_HOME", temp_ / "user"};
  ScopedEnv machineBranch_{"XDG_CONFIG_DIRS", temp_ / "machine"};
  std::string machineFolder_ = temp_ / "machine" + "/" + kRegistryFolderName;
#endif
};

// --- The registry -----------------------------------------------------------------------------

struct Written {
  const char* name;
  const char* sameNameOtherCase;
  RegValue value;
};

TEST_F(RegistryContract, ValuesReadBackExactlyUnderTheirNameInAnyCase) {
  const Written rows[] = {
      {"Dir", "DIR", RegValue::Text("C:\\Program Files\\Microsoft Games\\FS9\\")},
      {"Élévation", "éLÉVATION", RegValue::Text("Aérodrome ✈ 🛫 « 1 234,5 »")},
      {"", "", RegValue::Text("the key's default value")},
      {"Vide", "vIDE", RegValue::Text("")},
      {"Chemin", "CHEMIN", RegValue::Text("%ProgramFiles%\\FS9", kRegExpandSz)},
      {"Lancements", "lancements", RegValue::Dword(0xDEADBEEF)},
      {"Zéro", "ZÉRO", RegValue::Dword(0)},
      {"Octets", "OCTETS", RegValue{kRegBinary, std::string("\0\xff\x10", 3)}},
      {"Liste", "LISTE", RegValue::Text(std::string("a\0b\0", 4), kRegMultiSz)},
  };
  ASSERT_TRUE(RegCreateKeyPath(RegRoot::CurrentUser, Key()));
  for (const Written& row : rows) {
    EXPECT_TRUE(RegWriteValue(RegRoot::CurrentUser, Key(), row.name, row.value)) << row.name;
  }
  for (const Written& row : rows) {
    EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), row.name), row.value) << row.name;
    EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), row.sameNameOtherCase), row.value)
        << row.sameNameOtherCase;
  }
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), "Élévation")->AsText(),
            "Aérodrome ✈ 🛫 « 1 234,5 »");

  // A name written again in another case is the same value, replaced.
  ASSERT_TRUE(RegWriteValue(RegRoot::CurrentUser, Key(), "dIR", RegValue::Dword(9)));
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), "Dir"), RegValue::Dword(9));
}

TEST_F(RegistryContract, KeysAreMadeWithTheKeysAboveThemAndMatchInAnyCase) {
  ASSERT_TRUE(RegCreateKeyPath(RegRoot::CurrentUser, Key("Nord\\Est\\Aéroport")));
  EXPECT_TRUE(
      RegCreateKeyPath(RegRoot::CurrentUser, Key("Nord\\Est\\Aéroport")));  // exists: opened
  EXPECT_TRUE(
      RegCreateKeyPath(RegRoot::CurrentUser, Key("Nord") + "\\"));  // one trailing delimiter
  ASSERT_TRUE(
      RegWriteValue(RegRoot::CurrentUser, Key("NORD\\est\\AÉROPORT"), "n", RegValue::Text("v")));
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("nord\\EST\\aéroport\\"), "N"),
            RegValue::Text("v"));
  // A value is written into a key made for it on the way.
  ASSERT_TRUE(RegWriteValue(RegRoot::CurrentUser, Key("Sud\\Ouest"), "n", RegValue::Dword(1)));
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("Sud\\Ouest"), "n"), RegValue::Dword(1));
}

TEST_F(RegistryContract, WhatIsMissingReadsAsNothing) {
  ASSERT_TRUE(RegWriteValue(RegRoot::CurrentUser, Key("Present"), "n", RegValue::Text("v")));
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("Absent"), "n"), std::nullopt);
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("Present"), "other"), std::nullopt);
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("Present"), ""), std::nullopt);
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), "n"), std::nullopt);  // not the key below
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("Present\\Below"), "n"), std::nullopt);
  EXPECT_EQ(RegReadValue(RegRoot::LocalMachine, Key("Present"), "n"), std::nullopt);
}

TEST_F(RegistryContract, InvalidKeyPathsAreRefusedWithoutRaising) {
  const std::string refused[] = {"\\" + Key("x"), Key() + "\\\\x"};
  for (const std::string& key : refused) {
    EXPECT_FALSE(RegCreateKeyPath(RegRoot::CurrentUser, key)) << key;
    EXPECT_FALSE(RegWriteValue(RegRoot::CurrentUser, key, "n", RegValue::Text("v"))) << key;
    EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, key, "n"), std::nullopt) << key;
  }
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key("x"), "n"), std::nullopt);  // nothing written
  std::optional<RegValue> foreign;
  EXPECT_FALSE(ReadForeignValue(Key(), "n", foreign));  // a key of the program's own
}

#ifdef _WIN32
// Windows alone has two views of the machine branch: FS2004 is a 32-bit program, and the
// program looks for its keys where the system placed them, in the 32-bit view.
TEST_F(RegistryContract, TheMachineBranchIsThe32BitView) {
  if (!RegCreateKeyPath(RegRoot::LocalMachine, Key())) {
    GTEST_SKIP() << "this account may not write the machine branch";
  }
  const auto foundIn = [&](REGSAM view) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(Key()).c_str(), 0, KEY_READ | view, &handle) !=
        ERROR_SUCCESS) {
      return false;
    }
    ::RegCloseKey(handle);
    return true;
  };
  EXPECT_TRUE(foundIn(KEY_WOW64_32KEY));
  BOOL wow64 = FALSE;
  if (sizeof(void*) == 8 || (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64)) {
    EXPECT_FALSE(foundIn(KEY_WOW64_64KEY));  // a 64-bit system keeps the two views apart
  }
}
#endif

TEST_F(RegistryContract, AnAccountThatMayNotWriteTheMachineBranchStillReadsIt) {
  if (!MachineValueWithoutWriteRights("Dossier", RegValue::Text("C:\\FS9\\"))) {
    GTEST_SKIP() << "the machine key could not be made, or the system ignores its rights";
  }
  EXPECT_FALSE(RegCreateKeyPath(RegRoot::LocalMachine, Key()));
  EXPECT_FALSE(RegWriteValue(RegRoot::LocalMachine, Key(), "Dossier", RegValue::Text("D:\\")));
  EXPECT_EQ(RegReadValue(RegRoot::LocalMachine, Key(), "DOSSIER"), RegValue::Text("C:\\FS9\\"));

  // The settings: a refused machine write lands in the user branch, under the same key; the
  // machine branch keeps what it held and is read without falling back.
  const std::string fromRoot = "\\" + Key();
  RegWriteStr(true, fromRoot, "Lancements", "7");
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), "Lancements"), RegValue::Text("7"));
  EXPECT_EQ(RegReadStr(true, fromRoot, "Lancements"), "");
  EXPECT_EQ(RegReadStr(true, fromRoot, "Dossier"), "C:\\FS9\\");
}

// --- The settings over the registry
// ---------------------------------------------------------------

TEST_F(RegistryContract, SettingsWriteTextsAndReadOnlyTexts) {
  const std::string fromRoot = "\\" + Key();
  RegWriteStr(false, fromRoot, "Dossier", "C:\\Scènes \"FS9\"\\");
  EXPECT_EQ(RegReadValue(RegRoot::CurrentUser, Key(), "Dossier"),
            RegValue::Text("C:\\Scènes \"FS9\"\\"));
  EXPECT_EQ(RegReadStr(false, fromRoot + "\\", "DOSSIER"), "C:\\Scènes \"FS9\"\\");

  struct Stored {
    const char* what;
    RegValue value;
    const char* read;
  };
  const Stored rows[] = {
      {"expandable text, nothing expanded", RegValue::Text("%ProgramFiles%\\FS9", kRegExpandSz),
       "%ProgramFiles%\\FS9"},
      {"text up to its first zero", RegValue::Text(std::string("ab\0cd", 5)), "ab"},
      {"a DWORD is no text", RegValue::Dword(10), ""},
      {"binary data is no text", RegValue{kRegBinary, "xy"}, ""},
  };
  for (const Stored& row : rows) {
    ASSERT_TRUE(RegWriteValue(RegRoot::CurrentUser, Key(), "v", row.value)) << row.what;
    EXPECT_EQ(RegReadStr(false, fromRoot, "v"), row.read) << row.what;
  }

  EXPECT_EQ(RegReadStr(false, fromRoot + "\\Jamais", "écrit"), "");
  EXPECT_NO_THROW(RegWriteStr(false, fromRoot + "\\\\x", "n", "v"));
  EXPECT_EQ(RegReadStr(false, fromRoot + "\\\\x", "n"), "");
}

}  // namespace
}  // namespace qor::platform
