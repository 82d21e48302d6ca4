#include "util/Utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace qor {
namespace {

struct StepCase {
  const char* name;
  std::string_view text;
  std::vector<std::size_t> starts;  // where each character starts
};

void PrintTo(const StepCase& c, std::ostream* os) {
  *os << c.name;
}

class Utf8StepTest : public testing::TestWithParam<StepCase> {};

// Counting, stepping and finding a character's offset must agree on where characters start, or
// a column cut by one falls inside a character cut by another.
TEST_P(Utf8StepTest, AgreesOnCharacterStarts) {
  const StepCase& c = GetParam();
  EXPECT_EQ(CharCount(c.text), c.starts.size());
  for (std::size_t i = 0; i < c.starts.size(); ++i) {
    EXPECT_EQ(CharOffset(c.text, i), c.starts[i]) << "character " << i;
    const std::size_t next = i + 1 < c.starts.size() ? c.starts[i + 1] : c.text.size();
    EXPECT_EQ(NextCharStart(c.text, c.starts[i]), next) << "character " << i;
  }
  EXPECT_EQ(CharOffset(c.text, c.starts.size()), c.text.size());
  EXPECT_EQ(CharOffset(c.text, c.starts.size() + 5), c.text.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8StepTest,
    testing::Values(StepCase{"empty", "", {}}, StepCase{"ascii", "abc", {0, 1, 2}},
                    StepCase{"twoByte", "\u00E9t\u00E9", {0, 2, 3}},
                    StepCase{"threeByte", "\u20AC1", {0, 3}},
                    StepCase{"fourByte", "a\U0001F600b", {0, 1, 5}},
                    // A stray continuation byte first counts as a character; the ones after it,
                    // and after any other character, belong to it.
                    StepCase{"strayFirst",
                             "\x80\x80"
                             "a",
                             {0, 2}},
                    StepCase{"strayAfter",
                             "a\x80\x80"
                             "b",
                             {0, 3}},
                    StepCase{"truncated", "a\xC3", {0, 1}}),
    [](const testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST(Utf8, WritesEachCodePointInItsShortestForm) {
  struct Case {
    char32_t c;
    std::string expected;
  };
  const Case cases[] = {
      {0, std::string(1, '\0')},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      // No character: the replacement character stands for it.
      {0xD800, "\xEF\xBF\xBD"},
      {0xDFFF, "\xEF\xBF\xBD"},
      {0x110000, "\xEF\xBF\xBD"},
      {0xFFFFFFFF, "\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    std::string appended = "x";
    AppendUtf8(appended, c.c);
    EXPECT_EQ(appended, "x" + c.expected) << std::hex << static_cast<unsigned long>(c.c);

    // Within the room promised, and not a byte beyond what it says it wrote.
    char room[kMaxUtf8Bytes + 1];
    std::memset(room, '?', sizeof room);
    const char* end = WriteUtf8(c.c, room);
    const char* roomEnd = room + sizeof room;
    EXPECT_EQ(std::string(room, static_cast<std::size_t>(end - room)), c.expected);
    EXPECT_EQ(std::string(end, roomEnd), std::string(static_cast<std::size_t>(roomEnd - end), '?'));
  }
}

}  // namespace
}  // namespace qor
