#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace qor {
namespace {

// --- Decoding ---------------------------------------------------------------------------------

// A byte that is not UTF-8, as the rows below write it.
constexpr char32_t Bad(unsigned char byte) {
  return 0x80000000u | byte;
}

struct DecodeCase {
  const char* name;
  std::string_view bytes;
  std::vector<char32_t> read;  // each step: the code point, or Bad(byte)
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << c.name;
}

class DecodeUtf8Test : public testing::TestWithParam<DecodeCase> {};

// Each step reads a whole character or one byte alone; a character read is its shortest form,
// so encoding it again gives back exactly the bytes read, and a byte that is not UTF-8 never
// swallows the bytes after it.
TEST_P(DecodeUtf8Test, ReadsShortestFormsAndEachOtherByteAlone) {
  const DecodeCase& c = GetParam();
  std::vector<char32_t> read;
  bool allValid = true;
  for (std::size_t i = 0; i < c.bytes.size();) {
    const Utf8Char ch = DecodeUtf8(c.bytes, i);
    ASSERT_GE(ch.size, 1u);
    ASSERT_LE(i + ch.size, c.bytes.size());
    if (ch.valid) {
      std::string again;
      AppendUtf8(again, ch.code);
      EXPECT_EQ(again, c.bytes.substr(i, ch.size)) << "at byte " << i;
      read.push_back(ch.code);
    } else {
      EXPECT_EQ(ch.size, 1u);
      EXPECT_EQ(ch.code, char32_t{0xFFFD});
      read.push_back(Bad(static_cast<unsigned char>(c.bytes[i])));
      allValid = false;
    }
    i += ch.size;
  }
  EXPECT_EQ(read, c.read);
  EXPECT_EQ(IsUtf8(c.bytes), allValid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeUtf8Test,
    testing::Values(
        DecodeCase{"empty", "", {}},
        DecodeCase{"ascii", std::string_view("a\0\x7F", 3), {U'a', 0, 0x7F}},
        DecodeCase{"twoBytes", "\xC2\x80\xC3\xA9\xDF\xBF", {0x80, 0xE9, 0x7FF}},
        DecodeCase{"threeBytes", "\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF", {0x800, 0x20AC, 0xFFFF}},
        DecodeCase{"aroundSurrogates", "\xED\x9F\xBF\xEE\x80\x80", {0xD7FF, 0xE000}},
        DecodeCase{"fourBytes",
                   "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",
                   {0x10000, 0x1F600, 0x10FFFF}},
        DecodeCase{"overlongTwo", "\xC0\x80\xC1\xBF", {Bad(0xC0), Bad(0x80), Bad(0xC1), Bad(0xBF)}},
        DecodeCase{"overlongThree", "\xE0\x9F\xBF", {Bad(0xE0), Bad(0x9F), Bad(0xBF)}},
        DecodeCase{
            "overlongFour", "\xF0\x8F\xBF\xBF", {Bad(0xF0), Bad(0x8F), Bad(0xBF), Bad(0xBF)}},
        DecodeCase{"surrogates",
                   "\xED\xA0\x80\xED\xBF\xBF",
                   {Bad(0xED), Bad(0xA0), Bad(0x80), Bad(0xED), Bad(0xBF), Bad(0xBF)}},
        DecodeCase{"beyondTheLastCodePoint",
                   "\xF4\x90\x80\x80",
                   {Bad(0xF4), Bad(0x90), Bad(0x80), Bad(0x80)}},
        DecodeCase{"leadsNeverUsed",
                   "\xF5\x80\xF8\xFE\xFF",
                   {Bad(0xF5), Bad(0x80), Bad(0xF8), Bad(0xFE), Bad(0xFF)}},
        DecodeCase{"strayContinuations",
                   "a\x80\xBF"
                   "b",
                   {U'a', Bad(0x80), Bad(0xBF), U'b'}},
        DecodeCase{"cutByTheEnd", "a\xF0\x9F\x98", {U'a', Bad(0xF0), Bad(0x9F), Bad(0x98)}},
        DecodeCase{"cutByAnotherCharacter",
                   "\xE2\x82"
                   "A\xC3\xC3\xA9",
                   {Bad(0xE2), Bad(0x82), U'A', Bad(0xC3), 0xE9}},
        DecodeCase{"latin1", "\xE9t\xE9", {Bad(0xE9), U't', Bad(0xE9)}}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// --- Encoding ---------------------------------------------------------------------------------

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

// --- Character steps --------------------------------------------------------------------------

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

}  // namespace
}  // namespace qor
