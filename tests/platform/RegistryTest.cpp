#include "platform/RegistryStore.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/NameCase.h"
#include "tests/support/TempFolder.h"
#include "text/RegistryText.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_CONFIG_HOME", (temp_ / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", ((temp_ / "xdg") + ":" + (temp_ / "other")).c_str(), 1);
  }
  RegistryStore Store() const { return RegistryStore(temp_ / "store/registry.reg", "\\User"); }
  test::TempFolder temp_;
};

TEST_F(RegistryStoreTest, BranchesLieUnderTheXdgFolders) {
  EXPECT_EQ(RegistryStoreFile(RegRoot::CurrentUser), temp_ / "home/QOR Soft/registry.reg");
  EXPECT_EQ(RegistryStoreFile(RegRoot::LocalMachine), temp_ / "xdg/QOR Soft/registry.reg");
  EXPECT_EQ(RegistryStore(RegRoot::CurrentUser).File(), temp_ / "home/QOR Soft/registry.reg");

  const std::string home = temp_.Path();
  ::setenv("HOME", home.c_str(), 1);
  struct Case {
    const char* configHome;  // nullptr: unset
    const char* configDirs;
    std::string user;
    std::string machine;
  };
  const Case cases[] = {
      {nullptr, nullptr, home + "/.config/QOR Soft/registry.reg", "/etc/xdg/QOR Soft/registry.reg"},
      {"", "", home + "/.config/QOR Soft/registry.reg", "/etc/xdg/QOR Soft/registry.reg"},
      {"relative/cfg", "rel:/srv/xdg:/opt/xdg", home + "/.config/QOR Soft/registry.reg",
       "/srv/xdg/QOR Soft/registry.reg"},
      {"/srv/home-cfg", ":/opt/xdg", "/srv/home-cfg/QOR Soft/registry.reg",
       "/opt/xdg/QOR Soft/registry.reg"},
  };
  for (const Case& c : cases) {
    if (c.configHome)
      ::setenv("XDG_CONFIG_HOME", c.configHome, 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
    if (c.configDirs)
      ::setenv("XDG_CONFIG_DIRS", c.configDirs, 1);
    else
      ::unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(RegistryStoreFile(RegRoot::CurrentUser), c.user);
    EXPECT_EQ(RegistryStoreFile(RegRoot::LocalMachine), c.machine);
  }
}

TEST_F(RegistryStoreTest, KeysKeepTheirFirstSpellingAndMatchInAnyCase) {
  const RegistryStore store = Store();
  EXPECT_FALSE(store.KeyExists("Software"));
  EXPECT_FALSE(fs::exists(store.File()));  // reading creates nothing
  ASSERT_TRUE(store.CreateKey("Software\\QOR Soft\\QORBgl"));
  EXPECT_TRUE(store.KeyExists("SOFTWARE\\qor soft\\qorbgl"));
  EXPECT_TRUE(store.KeyExists("software\\QOR SOFT"));
  EXPECT_EQ(
      Slurp(store.File()).rfind("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\n", 0),
      0u);

  ASSERT_TRUE(store.WriteValue("software\\qor soft\\QORBGL\\", "Drive", RegValue::Text("/")));
  ASSERT_TRUE(store.WriteValue("Software\\QOR Soft\\QORBgl", "DRIVE", RegValue::Text("/mnt")));
  const std::optional<RegistryHive> hive = RegistryHive::Parse(Slurp(store.File()), NtfsUpperCase);
  ASSERT_TRUE(hive.has_value());
  ASSERT_EQ(hive->Keys().size(), 1u);
  EXPECT_EQ(hive->Keys()[0].path, "Software\\QOR Soft\\QORBgl");
  ASSERT_EQ(hive->Keys()[0].values.size(), 1u);
  EXPECT_EQ(hive->Keys()[0].values[0].first, "Drive");
  EXPECT_EQ(store.ReadValue("SOFTWARE\\QOR SOFT\\QORBGL", "drive"), RegValue::Text("/mnt"));
  EXPECT_EQ(store.ReadValue("Software\\QOR Soft\\QORBgl", "Dir"), std::nullopt);
  EXPECT_EQ(store.ReadValue("Software\\QOR Soft", "Drive"), std::nullopt);

  EXPECT_FALSE(store.CreateKey("\\Software"));
  EXPECT_FALSE(store.WriteValue("Software\\\\QOR Soft", "x", RegValue::Text("y")));
}

TEST_F(RegistryStoreTest, AStoreThatCannotBeWrittenRefusesAndIsLeftAsItWas) {
  // A path through a regular file stops root as well.
  std::ofstream(temp_ / "plain") << "not a folder";
  const RegistryStore through(temp_ / "plain/QOR Soft/registry.reg", "\\Machine");
  EXPECT_FALSE(through.Writable());
  EXPECT_FALSE(through.CreateKey("Software"));
  EXPECT_FALSE(through.WriteValue("Software", "n", RegValue::Text("v")));
  EXPECT_FALSE(through.KeyExists("Software"));
  EXPECT_EQ(through.ReadValue("Software", "n"), std::nullopt);

  const RegistryStore store = Store();
  ASSERT_TRUE(store.WriteValue("Software", "n", RegValue::Text("v")));
  const std::string before = Slurp(store.File());

  // A store file without write bits, then a folder without them: read-only, also for root.
  fs::permissions(store.File(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(store.Writable());
  EXPECT_FALSE(store.WriteValue("Software", "n", RegValue::Text("w")));
  EXPECT_FALSE(store.CreateKey("Software"));  // full access is refused on an existing key too
  EXPECT_EQ(store.ReadValue("Software", "n"), RegValue::Text("v"));
  fs::permissions(store.File(), fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(temp_ / "store", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(store.WriteValue("Software", "n", RegValue::Text("w")));
  EXPECT_TRUE(store.KeyExists("Software"));
  fs::permissions(temp_ / "store", fs::perms::owner_all);
  EXPECT_EQ(Slurp(store.File()), before);

  // A file that is not a store of this form is never overwritten.
  std::ofstream(store.File(), std::ios::trunc) << "[Desktop Entry]\nName=other\n";
  EXPECT_FALSE(store.WriteValue("Software", "n", RegValue::Text("w")));
  EXPECT_FALSE(store.CreateKey("Software"));
  EXPECT_EQ(Slurp(store.File()), "[Desktop Entry]\nName=other\n");
}

// Writes count values named prefix0, prefix1, ... each in its own read-modify-write.
void WriteMany(const RegistryStore& store, const std::string& prefix, int count) {
  for (int i = 0; i < count; ++i) {
    if (!store.WriteValue("Software\\Race", prefix + std::to_string(i),
                          RegValue::Text(std::to_string(i)))) {
      std::_Exit(1);
    }
  }
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  const RegistryStore store = Store();
  ASSERT_TRUE(store.CreateKey("Software\\Race"));
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      WriteMany(store, c == 0 ? "a" : "b", 200);
      std::_Exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::optional<RegistryHive> hive = RegistryHive::Parse(Slurp(store.File()), NtfsUpperCase);
  ASSERT_TRUE(hive.has_value());
  const RegKey* key = hive->FindKey("Software\\Race");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), 400u);
  for (const char* prefix : {"a", "b"}) {
    for (int i = 0; i < 200; ++i) {
      const RegValue* value = key->Find(prefix + std::to_string(i));
      ASSERT_NE(value, nullptr) << prefix << i;
      EXPECT_EQ(value->AsText(), std::to_string(i));
    }
  }
  for (const auto& entry : fs::directory_iterator(temp_ / "store")) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos);
  }
}

TEST_F(RegistryStoreTest, AWriterThatDiedMidWriteLeavesTheOldStoreWhole) {
  const RegistryStore store = Store();
  ASSERT_TRUE(store.WriteValue("Software", "kept", RegValue::Text("old")));
  // What a writer killed between its temporary file and the rename leaves behind.
  std::ofstream(temp_ / "store/registry.reg.tmp-Ab12Cd") << "WINE REGISTRY Version 2\n[Softw";
  EXPECT_EQ(store.ReadValue("Software", "kept"), RegValue::Text("old"));
  ASSERT_TRUE(store.WriteValue("Software", "new", RegValue::Text("1")));
  EXPECT_FALSE(fs::exists(temp_ / "store/registry.reg.tmp-Ab12Cd"));
  EXPECT_EQ(store.ReadValue("Software", "kept"), RegValue::Text("old"));

  // A writer killed at an unknown moment: what remains is whole, holds every value it wrote
  // up to some point, and the lock went with it.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    WriteMany(store, "v", 100000);
    std::_Exit(0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));

  const std::optional<RegistryHive> hive = RegistryHive::Parse(Slurp(store.File()), NtfsUpperCase);
  ASSERT_TRUE(hive.has_value());
  const RegKey* key = hive->FindKey("Software\\Race");
  ASSERT_NE(key, nullptr) << "the child wrote nothing in 150 ms";
  const std::size_t written = key->values.size();
  EXPECT_GT(written, 0u);
  for (std::size_t i = 0; i < written; ++i) {
    ASSERT_NE(key->Find("v" + std::to_string(i)), nullptr) << i;
  }
  EXPECT_EQ(store.ReadValue("Software", "kept"), RegValue::Text("old"));
  ASSERT_TRUE(store.WriteValue("Software", "after", RegValue::Text("2")));
  EXPECT_EQ(store.ReadValue("Software", "after"), RegValue::Text("2"));
}

}  // namespace
}  // namespace qor::platform
