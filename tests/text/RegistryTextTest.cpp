#include "text/RegistryText.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace qor {
namespace {

// The hive matches names by the fold it is given; the stores give Windows' letter case
// (platform/NameCase.h), these tests ASCII's.
std::u32string AsciiUpperCase(std::string_view name) {
  std::u32string upper;
  for (const char c : name) {
    upper.push_back(c >= 'a' && c <= 'z' ? char32_t(c - 'a' + 'A')
                                         : char32_t(static_cast<unsigned char>(c)));
  }
  return upper;
}

RegistryHive ParseOrFail(std::string_view text) {
  std::optional<RegistryHive> hive = RegistryHive::Parse(text, AsciiUpperCase);
  EXPECT_TRUE(hive.has_value());
  return hive.value_or(RegistryHive(AsciiUpperCase));
}

// --- The text form ----------------------------------------------------------------------------

class TextRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(TextRoundTrip, ValueNameAndKeyComeBackUnchangedFromAnAsciiFile) {
  const std::string text = GetParam();
  // A backslash in a key path separates names, so the key takes the text without them.
  std::string keyName = text;
  std::replace(keyName.begin(), keyName.end(), '\\', '/');
  RegistryHive hive(AsciiUpperCase);
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
  RegistryHive hive(AsciiUpperCase);
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
  RegistryHive hive(AsciiUpperCase);
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
  EXPECT_FALSE(RegistryHive::Parse("", AsciiUpperCase).has_value());
  EXPECT_FALSE(RegistryHive::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n", AsciiUpperCase)
                   .has_value());
  EXPECT_FALSE(RegistryHive::Parse("WINE REGISTRY Version 1\n", AsciiUpperCase).has_value());
  EXPECT_TRUE(RegistryHive::Parse("WINE REGISTRY Version 2", AsciiUpperCase).has_value());

  EXPECT_EQ(NormalizeKeyPath("Software\\QOR Soft\\"), "Software\\QOR Soft");
  EXPECT_EQ(NormalizeKeyPath(""), "");
  EXPECT_EQ(NormalizeKeyPath("\\Software"), std::nullopt);
  EXPECT_EQ(NormalizeKeyPath("Software\\\\QOR Soft"), std::nullopt);
  RegistryHive hive(AsciiUpperCase);
  EXPECT_EQ(hive.CreateKey("a\\\\b", 0), nullptr);
  EXPECT_TRUE(hive.Keys().empty());
}

}  // namespace
}  // namespace qor
