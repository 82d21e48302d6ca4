#include "util/DateFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace qor {
namespace {

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

}  // namespace
}  // namespace qor
