#include "util/DateFormat.h"

#include <cmath>
#include <cstdlib>

#include "lang/Tr.h"
#include "util/FitText.h"
#include "util/NumberFormat.h"

namespace qor {

namespace {

struct CivilDate {
  long long year;
  int month;
  int day;
};

// Days since 30 December 1899 to a proleptic Gregorian date. The count is moved to start on
// 1 March of year 0, so that the leap day falls at the end of each computed year; the calendar
// then repeats every 400 years (146097 days).
CivilDate CivilFromDays(long long days) {
  constexpr long long kDaysFromMarch0000 = 693899;  // 1 March 0000 to 30 December 1899
  constexpr long long kEra = 146097;
  const long long shifted = days + kDaysFromMarch0000;
  const long long era = (shifted >= 0 ? shifted : shifted - (kEra - 1)) / kEra;
  const long long dayOfEra = shifted - era * kEra;  // 0 ... 146096
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // 0 ... 399
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthFromMarch = (5 * dayOfYear + 2) / 153;  // 0 = March ... 11 = February
  CivilDate date;
  date.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  date.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
  return date;
}

// 1 = Sunday ... 7 = Saturday; day 0, 30 December 1899, was a Saturday.
int WeekDay(long long days) {
  const long long r = (days + 6) % 7;
  return static_cast<int>(r < 0 ? r + 7 : r) + 1;
}

std::string TwoDigits(int n) {
  return FormatNumber(Variant::Integer(n), '0', true, 2, true, false);
}

// 0 = Sunday ... 6 = Saturday.
std::string FullDayName(long long index) {
  switch (index) {
    case 0:
      return Tr("dimanche");
    case 1:
      return Tr("lundi");
    case 2:
      return Tr("mardi");
    case 3:
      return Tr("mercredi");
    case 4:
      return Tr("jeudi");
    case 5:
      return Tr("vendredi");
    default:
      return Tr("samedi");
  }
}

// 0 = January ... 11 = December.
std::string FullMonthName(long long index) {
  switch (index) {
    case 0:
      return Tr("janvier");
    case 1:
      return Tr("février");
    case 2:
      return Tr("mars");
    case 3:
      return Tr("avril");
    case 4:
      return Tr("mai");
    case 5:
      return Tr("juin");
    case 6:
      return Tr("juillet");
    case 7:
      return Tr("août");
    case 8:
      return Tr("septembre");
    case 9:
      return Tr("octobre");
    case 10:
      return Tr("novembre");
    default:
      return Tr("décembre");
  }
}

}  // namespace

std::string DateTimeStr(bool withTime, bool numeric, bool zeroPad, double when) {
  // Beyond this the fraction carries no time any more; such a value is no date of ours.
  if (!(std::fabs(when) < 1e12)) when = 0;
  long long days = static_cast<long long>(std::trunc(when));
  // The time of day is the fraction's distance from the day, whatever the sign, to the nearest
  // millisecond so that 09:05 stored as 0.378472... is not read as 09:04:59.999.
  long long ms = std::llround(std::fabs(when - static_cast<double>(days)) * 86400000.0);
  if (ms >= 86400000) {
    ms -= 86400000;
    days += when < 0 ? -1 : 1;
  }
  const CivilDate date = CivilFromDays(days);

  std::string text;
  if (numeric) {
    text = zeroPad ? TwoDigits(date.day) + "." + TwoDigits(date.month)
                   : std::to_string(date.day) + "." + std::to_string(date.month);
    text += "." + std::to_string(date.year);
  } else {
    // The first of the month is an ordinal in French: "1er".
    const std::string day = DayName(WeekDay(days), false);
    const std::string month = MonthName(date.month, false);
    const std::string year = std::to_string(date.year);
    text = date.day == 1 ? Tr("%1 1er %2 %3", {day, month, year})
                         : Tr("%1 %2 %3 %4", {day, std::to_string(date.day), month, year});
  }
  if (withTime) {
    const int hour = static_cast<int>(ms / 3600000);
    const int minute = static_cast<int>(ms / 60000 % 60);
    text += ", ";
    text += zeroPad ? TwoDigits(hour) : std::to_string(hour);
    text += ":" + FitStr(std::to_string(minute), -2, U'0');
  }
  return text;
}

std::string DayName(int n, bool isShort) {
  static constexpr const char* kShort[] = {"dim", "lun", "mar", "mer", "jeu", "ven", "sam"};
  // Counted round in both directions, so 0 is Saturday and 8 Sunday again.
  long long index = (static_cast<long long>(n) - 1) % 7;
  if (index < 0) index += 7;
  return isShort ? kShort[index] : FullDayName(index);
}

std::string MonthName(int n, bool isShort) {
  static constexpr const char* kShort[] = {"janv", "févr", "mars", "avr", "mai", "juin",
                                           "juil", "août", "sept", "oct", "nov", "déc"};
  // Through long long, so that the most negative int has a magnitude too.
  const long long a = std::llabs(static_cast<long long>(n));
  if (a == 0) return "???";
  const long long index = (a - 1) % 12;
  if (isShort) return n < 0 ? std::string("janv-") + kShort[index] : kShort[index];
  const std::string name = FullMonthName(index);
  return n < 0 ? Tr("janvier à %1", {name}) : name;
}

}  // namespace qor
