#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace qor {
namespace {

struct RoundTrip {
  const char* name;
  std::string_view utf8;
  std::u16string_view utf16;
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
  *os << c.name;
}

class Utf16RoundTrip : public testing::TestWithParam<RoundTrip> {};

// Well-formed text goes both ways unchanged, whatever becomes of the bytes that are not UTF-8.
TEST_P(Utf16RoundTrip, WellFormedTextGoesBothWaysUnchanged) {
  for (const NotUtf8 policy : {NotUtf8::kReplace, NotUtf8::kEscape}) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8, policy), GetParam().utf16);
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16, policy), GetParam().utf8);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16RoundTrip,
    testing::Values(RoundTrip{"empty", "", u""},
                    RoundTrip{"ascii", std::string_view("a\0z", 3),
                              std::u16string_view(u"a\0z", 3)},
                    RoundTrip{"bmp", "\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBF\xEE\x80\x80",
                              u"\u00E9\u20AC\uFFFF\uE000"},
                    // Above U+FFFF a surrogate pair; the last code point takes the last pair.
                    RoundTrip{"pairs", "a\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",
                              u"a\xD800\xDC00\xD83D\xDE00\xDBFF\xDFFF"},
                    // A pair whose low half lies among the escapes is still a pair.
                    RoundTrip{"pairWithEscapeUnit", "\xF0\x90\x82\x80", u"\xD800\xDC80"}),
    [](const testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.name); });

struct BadCase {
  const char* name;
  std::string_view utf8;
  std::u16string_view replaced;  // with NotUtf8::kReplace
  std::u16string_view escaped;   // with NotUtf8::kEscape
};

void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.name;
}

class Utf16BadBytes : public testing::TestWithParam<BadCase> {};

// Each byte that is not UTF-8 is one unit: U+FFFD, which comes back as U+FFFD, or its escape,
// which comes back as the byte.
TEST_P(Utf16BadBytes, BecomeOneUnitEach) {
  const BadCase& c = GetParam();
  EXPECT_EQ(Utf8ToUtf16(c.utf8, NotUtf8::kReplace), c.replaced);
  EXPECT_EQ(Utf8ToUtf16(c.utf8, NotUtf8::kEscape), c.escaped);
  EXPECT_EQ(Utf16ToUtf8(c.escaped, NotUtf8::kEscape), c.utf8);
  std::string replaced;
  for (const char16_t u : c.replaced)
    replaced += u == 0xFFFD ? "\xEF\xBF\xBD" : std::string(1, static_cast<char>(u));
  EXPECT_EQ(Utf16ToUtf8(c.replaced, NotUtf8::kReplace), replaced);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16BadBytes,
    testing::Values(BadCase{"latin1", "\xE9t\xE9", u"\uFFFDt\uFFFD", u"\xDCE9t\xDCE9"},
                    BadCase{"cutShort",
                            "\xE2\x82"
                            "A",
                            u"\uFFFD\uFFFDA",
                            u"\xDCE2\xDC82"
                            u"A"},
                    BadCase{"encodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD",
                            u"\xDCED\xDCA0\xDC80"},
                    BadCase{"overlong", "\xC0\xAF", u"\uFFFD\uFFFD", u"\xDCC0\xDCAF"},
                    BadCase{"lastByte", "\xFF", u"\uFFFD", u"\xDCFF"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// Any bytes at all survive UTF-16 with escapes: every byte alone, and every byte after each
// kind of lead byte waiting for its continuation.
TEST(Utf16Escapes, AnyBytesComeBackUnchanged) {
  for (const std::string_view before : {"", "a", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xED"}) {
    for (int byte = 0; byte < 256; ++byte) {
      const std::string bytes = std::string(before) + static_cast<char>(byte) + "z";
      EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(bytes, NotUtf8::kEscape), NotUtf8::kEscape), bytes)
          << before.size() << " " << byte;
    }
  }
}

// A surrogate on its own is no character: U+FFFD, but for an escape read back with escapes.
TEST(Utf16ToUtf8, LoneSurrogates) {
  struct Case {
    std::u16string_view utf16;
    std::string_view replaced;
    std::string_view escaped;
  };
  const Case cases[] = {
      {u"\xD800", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
      {u"a\xD83D", "a\xEF\xBF\xBD", "a\xEF\xBF\xBD"},  // a high half at the end
      {u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // reversed
      {u"\xDC7F", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},  // below the escapes
      {u"\xDC80", "\xEF\xBF\xBD", "\x80"},
      {u"\xDCFF", "\xEF\xBF\xBD", "\xFF"},
      {u"\xDD00", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},  // above them
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.utf16, NotUtf8::kReplace), c.replaced);
    EXPECT_EQ(Utf16ToUtf8(c.utf16, NotUtf8::kEscape), c.escaped);
  }
}

TEST(Utf16, WritesNoSurrogateAndNothingBeyondTheLastCodePoint) {
  const std::pair<char32_t, std::u16string_view> cases[] = {
      {0xFFFF, u"\uFFFF"}, {0x10000, u"\xD800\xDC00"}, {0x10FFFF, u"\xDBFF\xDFFF"},
      {0xD800, u"\uFFFD"}, {0xDFFF, u"\uFFFD"},        {0x110000, u"\uFFFD"},
  };
  for (const auto& [c, expected] : cases) {
    std::u16string units = u"x";
    AppendUtf16(units, c);
    EXPECT_EQ(units.substr(1), expected) << std::hex << static_cast<unsigned long>(c);
  }
}

}  // namespace
}  // namespace qor
