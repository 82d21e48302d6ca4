#include "text/PathText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace qor {
namespace {

struct Shown {
  const char* name;
  std::string_view text;
  std::string_view readable;  // ReadablePath
  std::string_view terminal;  // TerminalText
};

void PrintTo(const Shown& c, std::ostream* os) {
  *os << c.name;
}

class PathTextTest : public testing::TestWithParam<Shown> {};

// What may break a message's line or drive a terminal is spelled out; every character and
// every byte is still there to read.
TEST_P(PathTextTest, SpellsOutWhatCannotBeShown) {
  const Shown& c = GetParam();
  EXPECT_EQ(ReadablePath(c.text), c.readable);
  EXPECT_EQ(QuotedPath(c.text), "\"" + std::string(c.readable) + "\"");
  EXPECT_EQ(TerminalText(c.text), c.terminal);
  EXPECT_LE(TerminalText(c.text).size(), TerminalTextRoom(c.text.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathTextTest,
    testing::Values(
        Shown{"plain", "C:/Vols/\"été\" 2.bgl", "C:/Vols/\"été\" 2.bgl", "C:/Vols/\"été\" 2.bgl"},
        Shown{"lineBreaks", "a\nb\tc\rd", "a\\nb\\tc\\rd", "a\\nb\\tc\\rd"},
        Shown{"terminalCommands", std::string_view("\x1B[2J\x7F\0", 6), "\\x1B[2J\\x7F\\x00",
              "\\x1B[2J\\x7F\\x00"},
        // A C1 character is a character to a path and a command to a terminal; the no-break
        // space after the C1 range is neither.
        Shown{"c1", "a\xC2\x85\xC2\x9F\xC2\xA0", "a\xC2\x85\xC2\x9F\xC2\xA0",
              "a\\u0085\\u009F\xC2\xA0"},
        // Bytes that are not UTF-8: each spelled out in a path; in a terminal only those a
        // terminal could take for a C1 command (0x80 to 0x9F).
        Shown{"latin1", "\xE9t\xE9", "\\xE9t\\xE9", "\xE9t\xE9"},
        Shown{"stray", "\x85\xBF", "\\x85\\xBF", "\\x85\xBF"},
        Shown{"cutShort",
              "\xE2\x82"
              "A\xC2",
              "\\xE2\\x82A\\xC2", "\xE2\\x82A\xC2"},
        Shown{"encodedSurrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80", "\xED\xA0\\x80"},
        Shown{"overlong", "\xC0\xAF\xC1\x9B", "\\xC0\\xAF\\xC1\\x9B", "\xC0\xAF\xC1\\x9B"},
        Shown{"empty", "", "", ""}),
    [](const testing::TestParamInfo<Shown>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qor
