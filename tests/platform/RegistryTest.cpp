#include "platform/RegistryStore.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/RegistryText.h"
#include "tests/support/TempFolder.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

RegistryHive ParseOrFail(std::string_view text) {
  std::optional<RegistryHive> hive = RegistryHive::Parse(text);
  EXPECT_TRUE(hive.has_value());
  return hive.value_or(RegistryHive());
}

// --- The text form ----------------------------------------------------------------------------

class TextRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(TextRoundTrip, ValueNameAndKeyComeBackUnchangedFromAnAsciiFile) {
  const std::string text = GetParam();
  // A backslash in a key path separates names, so the key takes the text without them.
  std::string keyName = text;
  std::replace(keyName.begin(), keyName.end(), '\\', '/');
  RegistryHive hive;
  hive.SetRelativeTo("\\Machine");
  RegKey* key = hive.CreateKey("Software\\" + keyName, 1700000000);
  ASSERT_NE(key, nullptr);
  key->Set(text, RegValue::Text(text));
  key->Set("expand", RegValue::Text(text, kRegExpandSz));

  const std::string file = hive.Serialize();
  for (char c : file) ASSERT_TRUE(static_cast<unsigned char>(c) < 128) << file;

  const RegistryHive back = ParseOrFail(file);
  ASSERT_EQ(back.Keys().size(), 1u) << file;
  const RegKey& got = back.Keys().front();
  EXPECT_EQ(got.path, "Software\\" + keyName);
  EXPECT_EQ(got.modified, 1700000000);
  ASSERT_EQ(got.values.size(), 2u) << file;
  EXPECT_EQ(got.values[0].first, text);
  EXPECT_EQ(got.values[0].second, RegValue::Text(text));
  EXPECT_EQ(got.values[0].second.AsText(), text);
  EXPECT_EQ(got.values[1].second, RegValue::Text(text, kRegExpandSz));
  EXPECT_EQ(back.RelativeTo(), "\\Machine");
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, TextRoundTrip,
    ::testing::Values("plain", "say \"hi\"", "C:\\Program Files\\FS9\\", "[bracketed] ]x[",
                      "Aérodrome de Besançon", "é1 à9 ûF",  // an accent before a hex digit
                      "two\nlines\r\n", "tab\there", "bell\a esc\x1b vt\v ff\f bs\b",
                      std::string("zero\0"
                                  "7 inside",
                                  13),
                      std::string("\x01\x02"
                                  "3",
                                  3),
                      "Zürich ✈ 🛫", "latin-1 \xe9t\xe9 \xff",  // bytes that are not UTF-8
                      "=hex:01,02 \\", "; not a comment", "# nor an option", "@"));

struct Rendered {
  RegValue value;
  std::string line;
};

class ValueLine : public ::testing::TestWithParam<Rendered> {};

TEST_P(ValueLine, IsWrittenAsWineWritesItAndReadBack) {
  RegistryHive hive;
  hive.CreateKey("K", 0)->Set("n", GetParam().value);
  const std::string file = hive.Serialize();
  EXPECT_NE(file.find("\n" + GetParam().line + "\n"), std::string::npos) << file;
  const RegistryHive back = ParseOrFail(file);
  ASSERT_NE(back.FindKey("K"), nullptr);
  const RegValue* value = back.FindKey("K")->Find("n");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(*value, GetParam().value);
}

RegValue Raw(std::uint32_t type, std::string data) {
  return RegValue{type, std::move(data)};
}

INSTANTIATE_TEST_SUITE_P(
    Types, ValueLine,
    ::testing::Values(
        Rendered{RegValue::Text("v"), "\"n\"=\"v\""}, Rendered{RegValue::Text(""), "\"n\"=\"\""},
        Rendered{RegValue::Text("%SystemRoot%\\x", kRegExpandSz),
                 "\"n\"=str(2):\"%SystemRoot%\\\\x\""},
        Rendered{RegValue::Text(std::string("a\0b\0", 4), kRegMultiSz),
                 "\"n\"=str(7):\"a\\0b\\0\""},
        Rendered{RegValue::Dword(10), "\"n\"=dword:0000000a"},
        Rendered{RegValue::Dword(0xDEADBEEF), "\"n\"=dword:deadbeef"},
        Rendered{Raw(kRegBinary, std::string("\x00\xff\x10", 3)), "\"n\"=hex:00,ff,10"},
        Rendered{Raw(kRegBinary, ""), "\"n\"=hex:"},
        // A text without its terminating zero, a short DWORD: bytes as they are.
        Rendered{Raw(kRegSz, std::string("a\0", 2)), "\"n\"=hex(1):61,00"},
        Rendered{Raw(kRegDword, std::string("\x01\x02", 2)), "\"n\"=hex(4):01,02"},
        Rendered{Raw(kRegQword, std::string(8, '\x11')), "\"n\"=hex(b):11,11,11,11,11,11,11,11"}));

TEST(RegistryText, LongBinaryDataGoesOnContinuationLinesAndComesBack) {
  std::string bytes;
  for (int i = 0; i < 100; ++i) bytes.push_back(static_cast<char>(i * 7));
  RegistryHive hive;
  hive.CreateKey("K", 0)->Set("big", Raw(kRegBinary, bytes));
  const std::string file = hive.Serialize();
  EXPECT_NE(file.find(",\\\n  "), std::string::npos) << file;
  for (std::size_t start = 0, end; (end = file.find('\n', start)) != std::string::npos;
       start = end + 1) {
    EXPECT_LE(end - start, 80u);
  }
  EXPECT_EQ(*ParseOrFail(file).FindKey("K")->Find("big"), Raw(kRegBinary, bytes));
}

constexpr std::string_view kWineSystemReg =
    "WINE REGISTRY Version 2\r\n"
    ";; All keys relative to \\\\Machine\r\n"
    "\r\n"
    "#arch=win32\r\n"
    "\r\n"
    "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0] 1638359271\r\n"
    "#time=1d7e9a1b2c3d4e5\r\n"
    "\"EXE Path\"=\"C:\\\\Program Files\\\\Microsoft Games\\\\Flight Simulator 9\\\\\"\r\n"
    "@=\"default\"\r\n"
    "\"Setup\"=dword:00000001\r\n"
    "\"broken\"=dword:zz\r\n"
    "\"Installed\"=str(2):\"%ProgramFiles%\\\\FS9\"\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  03,04\r\n"
    "\"Multi\"=hex(7):41,00,00,00,00,00\r\n"
    "\"Pilote\"=\"Ren\\x00e9 \\x20ac1 caf\xc3\xa9\"\r\n"
    "\r\n"
    "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1638359272\r\n"
    "\"EXE Path\"=\"D:\\\\FS2002\"\r\n"
    "\r\n"
    "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1638359273\r\n"
    "#time=1d7e9a1b2c3d4e6\r\n"
    "\"ComSpec\"=str(2):\"%SystemRoot%\\\\system32\\\\cmd.exe\"\r\n"
    "\"windir\"=str:\"C:\\\\windows\"\r\n";

TEST(RegistryText, ReadsAWineSystemReg) {
  const RegistryHive hive = ParseOrFail(kWineSystemReg);
  EXPECT_EQ(hive.RelativeTo(), "\\Machine");
  ASSERT_EQ(hive.Keys().size(), 3u);

  // Key paths compare without regard to case and keep the file's spelling.
  const RegKey* fs9 = hive.FindKey("SOFTWARE\\microsoft\\MICROSOFT GAMES\\flight simulator\\9.0\\");
  ASSERT_NE(fs9, nullptr);
  EXPECT_EQ(fs9->path, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0");
  EXPECT_EQ(fs9->modified, 1638359271);
  EXPECT_EQ(fs9->Find("exe path")->AsText(),
            "C:\\Program Files\\Microsoft Games\\Flight Simulator 9\\");
  EXPECT_EQ(fs9->Find("EXE Path")->type, kRegSz);
  EXPECT_EQ(fs9->Find("")->AsText(), "default");
  EXPECT_EQ(*fs9->Find("Setup"), RegValue::Dword(1));
  EXPECT_EQ(fs9->Find("broken"), nullptr);  // skipped, and the lines after it still read
  EXPECT_EQ(*fs9->Find("Installed"), RegValue::Text("%ProgramFiles%\\FS9", kRegExpandSz));
  EXPECT_EQ(*fs9->Find("Blob"), Raw(kRegBinary, "\x01\x02\x03\x04"));
  EXPECT_EQ(fs9->Find("Multi")->type, kRegMultiSz);
  EXPECT_EQ(fs9->Find("Pilote")->AsText(), "René €1 café");

  EXPECT_EQ(hive.FindKey("Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0")
                ->Find("EXE Path")
                ->AsText(),
            "D:\\FS2002");
  const RegKey* env =
      hive.FindKey("System\\CurrentControlSet\\Control\\Session Manager\\Environment");
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(env->Find("ComSpec")->AsText(), "%SystemRoot%\\system32\\cmd.exe");
  EXPECT_EQ(env->Find("windir")->type, kRegSz);

  // Keys above written keys exist, other ones do not.
  EXPECT_TRUE(hive.KeyExists("software\\microsoft"));
  EXPECT_TRUE(hive.KeyExists(""));
  EXPECT_FALSE(hive.KeyExists("Software\\Micro"));
  EXPECT_FALSE(hive.KeyExists("Software\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0"));
  EXPECT_EQ(hive.FindKey("Software\\Microsoft"), nullptr);
}

TEST(RegistryText, RefusesTextWithoutTheHeaderAndBadKeyPaths) {
  EXPECT_FALSE(RegistryHive::Parse("").has_value());
  EXPECT_FALSE(RegistryHive::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n").has_value());
  EXPECT_FALSE(RegistryHive::Parse("WINE REGISTRY Version 1\n").has_value());
  EXPECT_TRUE(RegistryHive::Parse("WINE REGISTRY Version 2").has_value());

  EXPECT_EQ(NormalizeKeyPath("Software\\QOR Soft\\"), "Software\\QOR Soft");
  EXPECT_EQ(NormalizeKeyPath(""), "");
  EXPECT_EQ(NormalizeKeyPath("\\Software"), std::nullopt);
  EXPECT_EQ(NormalizeKeyPath("Software\\\\QOR Soft"), std::nullopt);
  RegistryHive hive;
  EXPECT_EQ(hive.CreateKey("a\\\\b", 0), nullptr);
  EXPECT_TRUE(hive.Keys().empty());
}

// --- The store --------------------------------------------------------------------------------

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
  const std::optional<RegistryHive> hive = RegistryHive::Parse(Slurp(store.File()));
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
  const std::optional<RegistryHive> hive = RegistryHive::Parse(Slurp(store.File()));
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

  const std::optional<RegistryHive> hive = RegistryHive::Parse(Slurp(store.File()));
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
