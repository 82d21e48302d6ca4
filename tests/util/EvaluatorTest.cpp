#include "util/Evaluator.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

namespace qor {
namespace {

struct EvalCase {
  std::string text;
  VarKind kind;
  double value = 0;  // checked for integers, reals and date-times
};

// Long texts are named by their start and length, to keep test names readable.
void PrintText(const std::string& text, std::ostream* os) {
  if (text.size() <= 40)
    *os << '"' << text << '"';
  else
    *os << '"' << text.substr(0, 16) << "...\" (" << text.size() << " bytes)";
}

void PrintTo(const EvalCase& c, std::ostream* os) {
  PrintText(c.text, os);
}

class EvalTextTest : public testing::TestWithParam<EvalCase> {};

TEST_P(EvalTextTest, Reads) {
  const EvalCase& c = GetParam();
  // Both outputs start opposite to the expected answer, so that one left unset shows.
  bool ok = c.kind == VarKind::Null;
  Variant value = c.kind == VarKind::Null ? Variant::Integer(7) : Variant::Null();
  EvalText(c.text, ok, value);
  EXPECT_EQ(ok, c.kind != VarKind::Null);
  ASSERT_EQ(value.Kind(), c.kind);
  // Exact: every expected value is the double nearest to the decimal or fraction it names.
  if (c.kind == VarKind::Integer) {
    EXPECT_EQ(value.AsInt64(), static_cast<long long>(c.value));
  } else if (c.kind == VarKind::Real || c.kind == VarKind::DateTime) {
    EXPECT_EQ(value.AsReal(), c.value);
  }
}

constexpr VarKind kEmpty = VarKind::Empty;
constexpr VarKind kNull = VarKind::Null;
constexpr VarKind kInt = VarKind::Integer;
constexpr VarKind kReal = VarKind::Real;
constexpr VarKind kDate = VarKind::DateTime;

INSTANTIATE_TEST_SUITE_P(Blank, EvalTextTest,
                         testing::Values(EvalCase{"", kEmpty}, EvalCase{"   ", kEmpty},
                                         EvalCase{"\t\r\n", kEmpty}, EvalCase{"+", kEmpty},
                                         EvalCase{"-", kEmpty}, EvalCase{"%", kEmpty},
                                         EvalCase{"- %", kEmpty}, EvalCase{" + ", kEmpty}));

INSTANTIATE_TEST_SUITE_P(Malformed, EvalTextTest,
                         testing::Values(EvalCase{"abc", kNull}, EvalCase{"12a", kNull},
                                         EvalCase{"1e5", kNull}, EvalCase{"--5", kNull},
                                         EvalCase{"+-5", kNull}, EvalCase{"5%%", kNull},
                                         EvalCase{"1\t234", kNull}, EvalCase{"1'23", kNull},
                                         EvalCase{"1'2345", kNull}, EvalCase{"1'23.4", kNull},
                                         EvalCase{"1'234'", kNull}, EvalCase{"1'2.4'567", kNull},
                                         EvalCase{"1,234,567", kNull},
                                         EvalCase{"\xC2\xA0"
                                                  "12",
                                                  kNull},
                                         EvalCase{"1\xE2\x80\x89"
                                                  "234",
                                                  kNull}));

INSTANTIATE_TEST_SUITE_P(
    Integers, EvalTextTest,
    testing::Values(EvalCase{"42", kInt, 42}, EvalCase{"-42", kInt, -42},
                    EvalCase{"+ 42", kInt, 42}, EvalCase{" \t42\r\n", kInt, 42},
                    EvalCase{"0042", kInt, 42}, EvalCase{"5.", kInt, 5}, EvalCase{".", kInt, 0},
                    EvalCase{"1'234'567", kInt, 1234567}, EvalCase{"1 234 567", kInt, 1234567},
                    EvalCase{"12345'678", kInt, 12345678}, EvalCase{"1 234,", kInt, 1234},
                    // The regional grouping symbol the formatter writes reads back.
                    EvalCase{"1\xC2\xA0"
                             "234",
                             kInt, 1234},
                    EvalCase{"-1\xE2\x80\xAF"
                             "234\xE2\x80\xAF"
                             "567",
                             kInt, -1234567},
                    EvalCase{"2147483647", kInt, 2147483647},
                    EvalCase{"-2147483648", kInt, -2147483648.0}));

INSTANTIATE_TEST_SUITE_P(
    Reals, EvalTextTest,
    testing::Values(EvalCase{"3,5", kReal, 3.5}, EvalCase{"3.5", kReal, 3.5},
                    EvalCase{"3/5", kReal, 3.5}, EvalCase{",5", kReal, 0.5},
                    EvalCase{"-.5", kReal, -0.5}, EvalCase{"5.0", kReal, 5.0},
                    EvalCase{"1.000", kReal, 1.0}, EvalCase{"1'234,5", kReal, 1234.5},
                    EvalCase{"1.234'567", kReal, 1.234567}, EvalCase{"3.14159", kReal, 3.14159},
                    EvalCase{"50%", kReal, 0.5}, EvalCase{"-12.5 %", kReal, -0.125},
                    EvalCase{"35%", kReal, 0.35}, EvalCase{"17,5%", kReal, 0.175},
                    EvalCase{"-2147483648%", kReal, -21474836.48}));

INSTANTIATE_TEST_SUITE_P(
    ClockTimes, EvalTextTest,
    testing::Values(EvalCase{"1:30", kReal, 1.5}, EvalCase{"0:45:30", kReal, 0.7583333333333333},
                    EvalCase{"-1:30", kReal, -1.5}, EvalCase{":30", kReal, 0.5},
                    EvalCase{"1:30:", kReal, 1.5}, EvalCase{"1:30:00:99", kReal, 1.5},
                    EvalCase{"100:00", kReal, 100.0}, EvalCase{"1:00", kReal, 1.0},
                    EvalCase{"1:3", kNull}, EvalCase{"1:60", kNull}, EvalCase{"1: 30", kNull},
                    EvalCase{"1:30%", kNull}, EvalCase{"1:", kNull}, EvalCase{"1:30::", kNull},
                    EvalCase{"1:30:5", kNull}, EvalCase{"1:30:60", kNull},
                    EvalCase{"1.5:30", kNull}, EvalCase{"1:-30", kNull}));

INSTANTIATE_TEST_SUITE_P(
    Dates, EvalTextTest,
    testing::Values(EvalCase{"25.12.2004", kDate, 38346}, EvalCase{"25/12/04", kDate, 38346},
                    EvalCase{"25,12,04", kDate, 38346}, EvalCase{"2.1.2004", kDate, 37988},
                    EvalCase{"25.12.2004 14:30", kDate, 38346.604166666664},
                    EvalCase{"25.12.2004. 14:30", kDate, 38346.604166666664},
                    EvalCase{"25.12.2004 0:00", kDate, 38346}, EvalCase{"1.1.49", kDate, 54424},
                    EvalCase{"1.1.0049", kDate, 54424}, EvalCase{"1.1.50", kDate, 18264},
                    EvalCase{"1.1.1900", kDate, 2}, EvalCase{"31.12.2200", kDate, 109939},
                    EvalCase{"29.2.2004", kDate, 38046}, EvalCase{"29.2.2000", kDate, 36585},
                    EvalCase{"1.3.1900", kDate, 61}, EvalCase{"+1.3.2004", kDate, 38047}));

INSTANTIATE_TEST_SUITE_P(
    BadDates, EvalTextTest,
    testing::Values(
        EvalCase{"25.12.2004 24:00", kNull}, EvalCase{"1.1.1899", kNull},
        EvalCase{"1.1.2201", kNull}, EvalCase{"31.4.2004", kNull}, EvalCase{"29.2.2003", kNull},
        EvalCase{"29.2.1900", kNull}, EvalCase{"0.1.2004", kNull}, EvalCase{"1.13.2004", kNull},
        EvalCase{"1.1.204", kNull}, EvalCase{"-1.1.2004", kNull}, EvalCase{"1.1.2004%", kNull},
        EvalCase{"1.2.", kNull}, EvalCase{"1.2.2004.", kNull}, EvalCase{"25.12.2004T14:30", kNull},
        EvalCase{"25.12.2004 14:30:60", kNull}, EvalCase{"1.1. 10:00", kNull},
        // Neither a clock time, a per-cent value nor a blank is a day, month or
        // year, even where one would round to a valid number.
        EvalCase{"1:30.1.2004 10:00", kNull}, EvalCase{"150%.1.2004", kNull},
        EvalCase{"1.1.5%", kNull}, EvalCase{"1.1.+%", kNull}, EvalCase{"1.1.04.5", kNull}));

const std::string kNines(400, '9');
constexpr double kMaxReal = std::numeric_limits<double>::max();

// Whole numbers beyond 32 bits come back as reals, never as an exception.
INSTANTIATE_TEST_SUITE_P(LargeNumbers, EvalTextTest,
                         testing::Values(EvalCase{"99999999999", kReal, 99999999999.0},
                                         EvalCase{"99999999999.0", kReal, 99999999999.0},
                                         EvalCase{"-99999999999", kReal, -99999999999.0},
                                         EvalCase{"2147483648", kReal, 2147483648.0},
                                         EvalCase{"-2147483649", kReal, -2147483649.0},
                                         EvalCase{"99999999999%", kReal, 999999999.99},
                                         EvalCase{"99999999999:00", kReal, 99999999999.0},
                                         EvalCase{kNines, kReal, kMaxReal},
                                         EvalCase{"-" + kNines, kReal, -kMaxReal},
                                         EvalCase{kNines + "x", kNull},
                                         EvalCase{"0." + std::string(400, '0') + "1", kReal, 0.0},
                                         EvalCase{kNines + ":00", kReal, kMaxReal},
                                         EvalCase{"1.1.2004 " + kNines + ":00", kNull}));

struct StrToValueCase {
  std::string text;
  Variant expected;
};

void PrintTo(const StrToValueCase& c, std::ostream* os) {
  PrintText(c.text, os);
}

class StrToValueTest : public testing::TestWithParam<StrToValueCase> {};

TEST_P(StrToValueTest, GivesZeroForBlankOrMalformed) {
  EXPECT_EQ(StrToValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrToValueTest,
                         testing::Values(StrToValueCase{"", Variant::Integer(0)},
                                         StrToValueCase{"   ", Variant::Integer(0)},
                                         StrToValueCase{"-", Variant::Integer(0)},
                                         StrToValueCase{"abc", Variant::Integer(0)},
                                         StrToValueCase{"1:60", Variant::Integer(0)},
                                         StrToValueCase{"31.4.2004", Variant::Integer(0)},
                                         StrToValueCase{"0", Variant::Integer(0)},
                                         StrToValueCase{"-42", Variant::Integer(-42)},
                                         StrToValueCase{"1,5", Variant::Real(1.5)},
                                         StrToValueCase{"25.12.2004", Variant::DateTime(38346)}));

}  // namespace
}  // namespace qor
