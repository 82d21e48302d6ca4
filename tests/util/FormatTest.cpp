#include "util/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <ostream>

#include "platform/Process.h"
#include "util/Version.h"

namespace qor {
namespace {

using platform::NumberSymbols;

const NumberSymbols kFrench{",", " "};
const NumberSymbols kNarrowNbsp{",", "\u202F"};
const NumberSymbols kSwiss{".", "'"};
const NumberSymbols kUngrouped{",", ""};
const NumberSymbols kArabicDecimal{"\u066B", ""};

struct NumberCase {
  const char* name;
  Variant value;
  double spec;
  std::string expected;
  char fill = ' ';
  bool showZero = true;
  bool isSigned = false;
  bool grouped = true;
  const NumberSymbols* symbols = &kFrench;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
  *os << c.name;
}

class FormatNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumberTest, Formats) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(FormatNumber(c.value, c.fill, c.showZero, c.spec, c.grouped, c.isSigned, *c.symbols),
            c.expected);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatNumberTest,
    testing::Values(
        // The calls the program makes.
        NumberCase{"counter", Variant::Integer(1234), 0, "1 234"},
        NumberCase{"counterMillions", Variant::LongWord(1234567), 0, "1 234 567"},
        NumberCase{"twoDigits", Variant::Integer(7), 2, "07", '0'},
        NumberCase{"twoDigitsZero", Variant::Integer(0), 2, "00", '0'},
        NumberCase{"widthIsMinimum", Variant::Integer(123), 2, "123", '0'},
        NumberCase{"elevation", Variant::Real(123.4567), 9.3, "  123,457"},
        NumberCase{"elevationZero", Variant::Real(0), 9.3, "    0,000"},
        NumberCase{"elevationNegative", Variant::Real(-3.35), 9.3, "   -3,350"},
        NumberCase{"question", Variant::Real(1234.5), 0.3, "1 234,500"},
        // A blank zero keeps only the point, and nothing without a width.
        NumberCase{"blankZero", Variant::Real(0), 9.3, "     .   ", ' ', false},
        NumberCase{"blankZeroNoWidth", Variant::Integer(0), 0, "", ' ', false},
        NumberCase{"blankZeroNarrow", Variant::Real(-0.0), 2.3, ". ", ' ', false},
        NumberCase{"blankZeroNoFill", Variant::Integer(0), 4, "    ", '0', false},
        // Rounding: exact binary value, halves to even, carries through grouping.
        NumberCase{"halfDown", Variant::Real(2.5), 0, "2"},
        NumberCase{"carry", Variant::Real(999.9996), 0.3, "1 000,000"},
        NumberCase{"negativeRoundsToZero", Variant::Real(-0.0004), 9.3, "    0,000"},
        NumberCase{"intWithDecimals", Variant::Integer(-42), 0.2, "-42,00"},
        NumberCase{"int64Exact", Variant::Int64(std::numeric_limits<std::int64_t>::min()), 0,
                   "-9223372036854775808", ' ', true, false, true, &kUngrouped},
        // Fill replaces every blank, the grouping blank too, but not other symbols.
        NumberCase{"fillGrouping", Variant::Integer(1234), 7, "0010234", '0'},
        NumberCase{"fillNarrowNbsp", Variant::Integer(1234), 6, "01\u202F234", '0', true, false,
                   true, &kNarrowNbsp},
        // Widths count characters, not bytes.
        NumberCase{"narrowNbspFull", Variant::Real(1234.5), 9.3, "1\u202F234,500", ' ', true, false,
                   true, &kNarrowNbsp},
        NumberCase{"narrowNbspPadded", Variant::Real(1234.5), 10.3, " 1\u202F234,500", ' ', true,
                   false, true, &kNarrowNbsp},
        NumberCase{"multiByteDecimal", Variant::Real(1.5), 6.2, "  1\u066B50", ' ', true, false,
                   true, &kArabicDecimal},
        NumberCase{"apostrophe", Variant::Real(1234567.891), 0.2, "1'234'567.89", ' ', true, false,
                   true, &kSwiss},
        NumberCase{"emptyGrouping", Variant::Integer(1234567), 0, "1234567", ' ', true, false, true,
                   &kUngrouped},
        NumberCase{"notGrouped", Variant::Integer(1234567), 0, "1234567", ' ', true, false, false},
        // Signed looks at the first character only.
        NumberCase{"signedPlus", Variant::Integer(5), 0, "+ 5", ' ', true, true},
        NumberCase{"signedMinus", Variant::Integer(-5), 0, "- 5", ' ', true, true},
        NumberCase{"signedPadded", Variant::Real(-3.35), 9.3, "+    -3,350", ' ', true, true},
        // Outside what the program uses: left-justified, non-finite.
        NumberCase{"negativeWidth", Variant::Integer(42), -5, "42   "},
        NumberCase{"nan", Variant::Real(kNaN), 0, "NAN"},
        NumberCase{"infinity", Variant::Real(-kInf), 6.2, "  -INF"}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

TEST(FormatNumberSymbols, DefaultOverloadUsesCurrentSymbols) {
  const NumberSymbols saved = CurrentNumberSymbols();
  SetNumberSymbols(kNarrowNbsp);
  EXPECT_EQ(FormatNumber(Variant::Real(1234.5), ' ', true, 0.1, true, false), "1\u202F234,5");
  SetNumberSymbols(saved);
}

// The tree writes its elevations with its own integer formatter; it must give what the general
// formatter gives for every value of the 32-bit field and every kind of regional symbol.
TEST(AppendThousandths, WritesWhatFormatNumberWrites) {
  const std::vector<NumberSymbols> symbols = {{",", " "},      {".", ","},          {",", "."},
                                              {",", "\u202F"}, {",", "\u00A0"},     {".", "'"},
                                              {",", ""},       {"\u066B", "\u066C"}};
  std::vector<std::int64_t> values = {0,        1,         -1,        999,      -999,
                                      1000,     -1000,     999999,    -1000000, 1234567,
                                      -1234567, INT32_MAX, INT32_MIN, 433500,   -5000};
  for (std::int64_t v = 1; v < 4'000'000'000; v = v * 7 + 3) {
    values.push_back(v % 4294967296 - 2147483648);
  }
  for (const NumberSymbols& sym : symbols) {
    for (const std::int64_t v : values) {
      std::string fast = "x";
      AppendThousandths(fast, v, 9, sym);
      EXPECT_EQ(fast, "x" + FormatNumber(Variant::Real(static_cast<double>(v) / 1000.0), ' ', true,
                                         9.3, true, false, sym))
          << v << " with '" << sym.decimal << "' and '" << sym.grouping << "'";
    }
  }
}

TEST(FitStr, PadsAndCutsByCharacters) {
  struct Case {
    std::string_view text;
    int n;
    char32_t pad;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", 5, U'.', "abc.."},
      {"abc", -5, U'.', "..abc"},
      {"abc", 2, U'.', "ab"},
      {"abc", -2, U'.', "bc"},
      {"abc", 0, U'.', ""},
      {"", 3, U' ', "   "},
      {"été", 5, U'.', "été.."},
      {"été", 2, U'.', "ét"},
      {"été", -2, U'.', "té"},
      {"aé", -4, U'é', "ééaé"},
      {"\u202F1", 1, U' ', "\u202F"},
      {"aé", 4, U'é', "aééé"},
      // A stray continuation byte first counts as a character; the ones after it belong to it.
      {"\x80\x80"
       "ab",
       2, U'.',
       "\x80\x80"
       "a"},
      {"\x80\x80"
       "ab",
       4, U'.',
       "\x80\x80"
       "ab."},
      {"été d'été", 3, U'.', "été"}};

  for (const Case& c : cases)
    EXPECT_EQ(FitStr(c.text, c.n, c.pad), c.expected) << c.text << " " << c.n;
}

TEST(LeftTextAndRepeatStr, CountCharacters) {
  EXPECT_EQ(LeftText("été", 2), "ét");
  EXPECT_EQ(LeftText("été", 10), "été");
  EXPECT_EQ(LeftText("été", 0), "");
  EXPECT_EQ(LeftText("été", -1), "");
  EXPECT_EQ(RepeatStr("ab", 3), "ababab");
  EXPECT_EQ(RepeatStr("é", 2), "éé");
  EXPECT_EQ(RepeatStr("ab", -2), "");
}

TEST(CutField, CutsAtTheFirstSeparator) {
  struct Case {
    std::string text, sep, field, rest;
  };
  const Case cases[] = {
      {"\"x\"\tyz", "\t", "x", "yz"},
      {"\"x\tyz", "\t", "\"x", "yz"},    // a lone opening quote stays
      {"abc", "\t", "abc", ""},          // no separator: all of it
      {"\tabc", "\t", "", "abc"},        // separator first: empty field
      {"abc\t", "\t", "abc", ""},        // nothing follows
      {"a\tb\tc", "\t", "a", "b\tc"},    // only the first
      {"\"a\tb\"", "\t", "\"a", "b\""},  // quotes do not protect a separator
      {"a\r\nb", "\r\n", "a", "b"},      // several characters
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(CutField(text, c.sep), c.field) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(CutFieldAny, CutsAtTheEarliestSeparator) {
  struct Case {
    std::vector<std::string> seps;
    std::string text, field, found, rest;
  };
  const std::vector<std::string> tabLine{"\t", "\r\n"};
  const Case cases[] = {
      {tabLine, "a\r\nb\tc", "a", "\r\n", "b\tc"},
      {tabLine, "abc", "abc", "", ""},
      {tabLine, "\tabc", "", "\t", "abc"},
      {{}, "a\tb", "a", "\t", "b"},           // no list: the tab
      {{";"}, "abc", "abc", ";", ""},         // one separator is found even when absent
      {{"ab", "a"}, "xabc", "x", "ab", "c"},  // a tie goes to the earlier in the list
      {{"a", "ab"}, "xabc", "x", "a", "bc"},
      {{"", ";"}, "a;b", "a", ";", "b"},  // an empty separator never wins
  };
  for (const Case& c : cases) {
    std::string text = c.text, found = "stale";
    EXPECT_EQ(CutFieldAny(text, c.seps, found), c.field) << c.text;
    EXPECT_EQ(found, c.found) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(Unquote, StripsOnlyEnclosingQuotes) {
  const std::pair<std::string, std::string> cases[] = {
      {"\"", "\""},     {"\"\"", ""},     {"\"ab\"", "ab"}, {"ab", "ab"},
      {"\"ab", "\"ab"}, {"ab\"", "ab\""}, {"\"\"\"", "\""}, {"", ""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Unquote(text), expected) << text;
}

TEST(DateTimeStr, WritesFrenchDates) {
  const double march1 = 38047;  // 1 March 2004, a Monday
  const double at0905 = march1 + (9 * 60 + 5) / 1440.0;
  struct Case {
    bool withTime, numeric, zeroPad;
    double when;
    std::string expected;
  };
  const Case cases[] = {
      {true, true, true, at0905, "01.03.2004, 09:05"},
      {true, true, false, at0905, "1.3.2004, 9:05"},
      {true, false, false, at0905, "lundi 1er mars 2004, 9:05"},
      {true, false, true, at0905, "lundi 1er mars 2004, 09:05"},
      {false, true, true, at0905, "01.03.2004"},
      {true, false, false, march1 + 1 + (14 * 60 + 7) / 1440.0, "mardi 2 mars 2004, 14:07"},
      {false, false, false, march1 - 1, "dimanche 29 février 2004"},
      {true, true, true, march1 + (9 * 3600 + 5 * 60 + 59) / 86400.0, "01.03.2004, 09:05"},
      {true, true, true, march1 + 0.99999999999, "02.03.2004, 00:00"},
      {false, false, false, 0, "samedi 30 décembre 1899"},
      {false, true, false, 61, "1.3.1900"},            // 1900 had no 29 February
      {false, true, false, 36586, "1.3.2000"},         // 2000 had one
      {true, true, true, -1.25, "29.12.1899, 06:00"},  // the time counts from the day
  };
  for (const Case& c : cases)
    EXPECT_EQ(DateTimeStr(c.withTime, c.numeric, c.zeroPad, c.when), c.expected) << c.when;
}

TEST(DayAndMonthNames, CountRound) {
  EXPECT_EQ(DayName(1, false), "dimanche");
  EXPECT_EQ(DayName(2, true), "lun");
  EXPECT_EQ(DayName(7, false), "samedi");
  EXPECT_EQ(DayName(8, true), "dim");

  using Month = std::tuple<int, bool, std::string>;
  const Month months[] = {{0, true, "???"},
                          {2, true, "févr"},
                          {8, false, "août"},
                          {12, true, "déc"},
                          {13, true, "janv"},
                          {24, false, "décembre"},
                          {-3, true, "janv-mars"},
                          {-3, false, "janvier à mars"},
                          {-12, false, "janvier à décembre"}};
  for (const auto& [n, isShort, expected] : months)
    EXPECT_EQ(MonthName(n, isShort), expected) << n << " " << isShort;
}

TEST(ProgramTitle, ListsTheVersionParts) {
  const FileVersion v{1, 0, 1, 4};
  const std::pair<int, std::string> cases[] = {
      {0, "(QORBgl v1)"},     {1, "(QORBgl v1)"},       {2, "(QORBgl v1.0)"},
      {3, "(QORBgl v1.0.1)"}, {4, "(QORBgl v1.0.1.4)"}, {9, "(QORBgl v1.0.1.4)"},
  };
  for (const auto& [parts, expected] : cases) EXPECT_EQ(ProgramTitle(parts, "QORBgl", v), expected);
  EXPECT_EQ(ProgramTitle(4, "QORBgl", FileVersion{}), "(QORBgl v0.0.0.0)");

  const NumberSymbols saved = CurrentNumberSymbols();
  SetNumberSymbols(kFrench);
  EXPECT_EQ(ProgramTitle(2, "QORBgl", FileVersion{1234, 5, 0, 0}), "(QORBgl v1 234.5)");
  SetNumberSymbols(saved);
}

TEST(ProgramTitle, UsesTheRunningProgram) {
  const FileVersion built{kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
  EXPECT_EQ(ProgramTitle(4), ProgramTitle(4, "util_test", built));
}

TEST(ReadFileVersion, OnlyTheProgramsOwnFileHasOne) {
  const std::filesystem::path self = platform::ProgramFilePath();
  ASSERT_FALSE(self.empty());
  const FileVersion built{kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
  EXPECT_EQ(ReadFileVersion(self.string()), built);
  EXPECT_EQ(ReadFileVersion((self.parent_path() / "." / self.filename()).string()), built);
  EXPECT_EQ(ReadFileVersion(self.parent_path().string()), FileVersion{});
  EXPECT_EQ(ReadFileVersion((self.parent_path() / "no-such-file").string()), FileVersion{});
}

TEST(RGBColor, KeepsTheLowBytes) {
  EXPECT_EQ(RGBColor(1, 2, 3), 0x030201u);
  EXPECT_EQ(RGBColor(0x105, -1, 0x1FF), 0xFFFF05u);
}

}  // namespace
}  // namespace qor
