#include "util/NumberFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace qor
