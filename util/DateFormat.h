#pragma once
// Dates and times as display text, and the names of days and months, in the current language.
// The short names stay French: the program shows none of them, and some are the very words of
// full names ("mars", "mai"), which one entry of the translations could not say two ways.

#include <string>

namespace qor {

// A date-time (days since 30 December 1899, time of day as the fraction):
// "01.03.2004, 09:05", "1.3.2004, 9:05" or "lundi 1er mars 2004, 9:05" in French.
std::string DateTimeStr(bool withTime, bool numeric, bool zeroPad, double when);
// 1 = Sunday ... 7 = Saturday, counted round (8 is Sunday again).
std::string DayName(int n, bool isShort);
// 1 = January ... 12 = December, counted round; 0 gives "???"; a negative n names the range
// from January, as in "janv-mars".
std::string MonthName(int n, bool isShort);

}  // namespace qor
