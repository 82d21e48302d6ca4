#include "util/Format.h"

#include "util/Environment.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "platform/Process.h"
#include "util/Version.h"

namespace qor {

namespace {

// ---- UTF-8 character positions ----

// Byte offset where character number index (from 0) starts; the text's size past its end.
// A stray continuation byte at the very start counts as a character of its own, so that no
// offset ever falls inside a well-formed sequence.
std::size_t CharOffset(std::string_view text, std::size_t index) {
  std::size_t i = 0;
  while (index > 0 && i < text.size()) {
    ++i;
    while (i < text.size() && IsContinuationByte(text[i])) ++i;
    --index;
  }
  return i;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// |n| without overflow for the most negative int.
std::size_t Magnitude(int n) {
  return n < 0 ? static_cast<std::size_t>(-static_cast<long long>(n)) : static_cast<std::size_t>(n);
}

// ---- numbers ----

struct WidthAndDecimals {
  std::size_t width = 0;
  bool leftJustified = false;  // a negative width
  int decimals = 0;
};

// Widths beyond this are surely a mistake; they are capped rather than allocated.
constexpr double kMaxWidth = 4096;

WidthAndDecimals SplitSpec(double spec) {
  WidthAndDecimals parts;
  if (!std::isfinite(spec)) return parts;
  const double whole = std::trunc(spec);
  // The default rounding mode sends an exact half to the even neighbour.
  parts.decimals = static_cast<int>(std::fabs(std::nearbyint((spec - whole) * 10)));
  parts.width = static_cast<std::size_t>(std::fmin(std::fabs(whole), kMaxWidth));
  parts.leftJustified = whole < 0;
  return parts;
}

void Justify(std::string& text, std::size_t width, bool left) {
  const std::size_t count = CharCount(text);
  if (count >= width) return;
  if (left)
    text.append(width - count, ' ');
  else
    text.insert(0, width - count, ' ');
}

// The digits of value, fixed-point with exactly `decimals` decimals, with the regional symbols.
// Reals round to nearest on their exact binary value (std::to_chars), so an exact half, such
// as 2.5 with no decimals, goes to the even neighbour. Integers are written exactly.
std::string FixedPoint(const Variant& value, int decimals, bool grouped,
                       const platform::NumberSymbols& symbols) {
  char buffer[400];  // a double's 309 integer digits, sign, point and up to 10 decimals
  bool negative = false;
  std::string_view whole, fraction;
  std::string zeros;
  if (value.IsInteger()) {
    const std::int64_t n = value.AsInt64();
    negative = n < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
    whole = std::string_view(buffer, result.ptr - buffer);
    zeros.assign(static_cast<std::size_t>(decimals), '0');
    fraction = zeros;
  } else {
    const double x = value.AsReal();
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    std::string_view digits(buffer, result.ptr - buffer);
    if (!digits.empty() && digits.front() == '-') {
      negative = true;
      digits.remove_prefix(1);
    }
    const std::size_t point = digits.find('.');
    whole = digits.substr(0, point);
    if (point != std::string_view::npos) fraction = digits.substr(point + 1);
    // A value that rounds to zero shows no minus sign.
    if (negative && whole.find_first_not_of('0') == std::string_view::npos &&
        fraction.find_first_not_of('0') == std::string_view::npos)
      negative = false;
  }

  std::string out;
  out.reserve(whole.size() * (1 + symbols.grouping.size()) + fraction.size() +
              symbols.decimal.size() + 1);
  if (negative) out += '-';
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (grouped && i > 0 && (whole.size() - i) % 3 == 0) out += symbols.grouping;
    out += whole[i];
  }
  if (decimals > 0) {
    out += symbols.decimal;
    out += fraction;
  }
  return out;
}

platform::NumberSymbols& StoredSymbols() {
  static platform::NumberSymbols symbols = platform::UserNumberSymbols();
  return symbols;
}

// ---- dates ----

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

}  // namespace

const platform::NumberSymbols& CurrentNumberSymbols() {
  return StoredSymbols();
}

void SetNumberSymbols(platform::NumberSymbols symbols) {
  StoredSymbols() = std::move(symbols);
}

std::string FormatNumber(const Variant& value, char fill, bool showZero, double spec, bool grouped,
                         bool isSigned, const platform::NumberSymbols& symbols) {
  const WidthAndDecimals parts = SplitSpec(spec);
  std::string text;
  if (!showZero && value.AsReal() == 0) {
    // A blank field with only a point where the decimal symbol would stand; no fill.
    const int width = static_cast<int>(parts.width);
    if (parts.decimals > 0) {
      const int before = width - parts.decimals - 1;
      text.assign(before > 0 ? static_cast<std::size_t>(before) : 0, ' ');
      text += '.';
      text = FitStr(text, width);
    } else {
      text.assign(parts.width, ' ');
    }
  } else {
    text = FixedPoint(value, parts.decimals, grouped, symbols);
    Justify(text, parts.width, parts.leftJustified);
    if (fill != ' ')
      for (char& c : text)
        if (c == ' ') c = fill;
  }
  if (isSigned && !text.empty()) {
    if (text.front() == '-')
      text.insert(1, 1, ' ');
    else
      text.insert(0, "+ ");
  }
  return text;
}

std::string FormatNumber(const Variant& value, char fill, bool showZero, double spec, bool grouped,
                         bool isSigned) {
  return FormatNumber(value, fill, showZero, spec, grouped, isSigned, CurrentNumberSymbols());
}

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i == 0 || !IsContinuationByte(text[i])) ++count;
  return count;
}

void AppendFitStr(std::string& out, std::string_view text, int n, char32_t pad) {
  const std::size_t width = Magnitude(n);
  if (n > 0) {
    // One pass: where character number `width` starts (or the end), and how many come before.
    std::size_t cut = 0;
    std::size_t count = 0;
    for (; cut < text.size(); ++cut) {
      if (cut > 0 && IsContinuationByte(text[cut])) continue;
      if (count == width) break;
      ++count;
    }
    out.append(text.data(), cut);
    if (count < width) {
      if (pad < 0x80) {
        out.append(width - count, static_cast<char>(pad));
      } else {
        for (; count < width; ++count) AppendUtf8(out, pad);
      }
    }
    return;
  }
  const std::size_t count = CharCount(text);
  if (count >= width) {
    out.append(text.substr(CharOffset(text, count - width)));
    return;
  }
  if (pad < 0x80) {
    out.append(width - count, static_cast<char>(pad));
  } else {
    for (std::size_t i = count; i < width; ++i) AppendUtf8(out, pad);
  }
  out.append(text);
}

std::string FitStr(std::string_view text, int n, char32_t pad) {
  std::string out;
  AppendFitStr(out, text, n, pad);
  return out;
}

void AppendThousandths(std::string& out, std::int64_t thousandths, int width,
                       const platform::NumberSymbols& symbols) {
  const bool negative = thousandths < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(thousandths)
                                           : static_cast<std::uint64_t>(thousandths);
  // The whole metres' digits, last first.
  char digits[20];
  std::size_t count = 0;
  for (std::uint64_t whole = magnitude / 1000; count == 0 || whole > 0; whole /= 10) {
    digits[count++] = static_cast<char>('0' + whole % 10);
  }
  const auto fraction = static_cast<unsigned>(magnitude % 1000);
  const std::size_t groups = (count - 1) / 3;
  const std::string_view grouping = symbols.grouping;
  const std::string_view decimal = symbols.decimal;
  // Characters, not bytes: a grouping or decimal symbol may be a multi-byte character.
  const std::size_t chars =
      (negative ? 1 : 0) + count + groups * CharCount(grouping) + CharCount(decimal) + 3;
  const std::size_t blanks =
      width > 0 && chars < static_cast<std::size_t>(width) ? width - chars : 0;
  const std::size_t bytes =
      blanks + (negative ? 1 : 0) + count + groups * grouping.size() + decimal.size() + 3;
  // Written in place, in one piece of exactly its size.
  const std::size_t at = out.size();
  out.resize(at + bytes);
  char* p = out.data() + at;
  p = std::fill_n(p, blanks, ' ');
  if (negative) *p++ = '-';
  for (std::size_t i = count; i-- > 0;) {
    *p++ = digits[i];
    if (i > 0 && i % 3 == 0) p = std::copy(grouping.begin(), grouping.end(), p);
  }
  p = std::copy(decimal.begin(), decimal.end(), p);
  *p++ = static_cast<char>('0' + fraction / 100);
  *p++ = static_cast<char>('0' + fraction / 10 % 10);
  *p = static_cast<char>('0' + fraction % 10);
}

std::string LeftText(std::string_view text, int n) {
  if (n <= 0) return {};
  return std::string(text.substr(0, CharOffset(text, static_cast<std::size_t>(n))));
}

std::string RepeatStr(std::string_view text, int n) {
  std::string out;
  if (n <= 0 || text.empty()) return out;
  out.reserve(text.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

std::string CutField(std::string& text, std::string_view sep) {
  const std::size_t at = sep.empty() ? std::string::npos : text.find(sep);
  if (at == std::string::npos) {
    std::string field = Unquote(text);
    text.clear();
    return field;
  }
  std::string field = Unquote(std::string_view(text).substr(0, at));
  text.erase(0, at + sep.size());
  return field;
}

std::string CutFieldAny(std::string& text, const std::vector<std::string>& seps,
                        std::string& found) {
  if (seps.size() <= 1) {
    found = seps.empty() ? std::string("\t") : seps.front();
    return CutField(text, found);
  }
  found.clear();
  std::size_t best = std::string::npos;
  for (const std::string& sep : seps) {
    if (sep.empty()) continue;
    const std::size_t at = text.find(sep);
    if (at < best) {  // strictly earlier, so a tie stays with the earlier separator
      best = at;
      found = sep;
    }
  }
  if (found.empty()) {
    std::string field = Unquote(text);
    text.clear();
    return field;
  }
  return CutField(text, found);
}

std::string Unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return std::string(text);
}

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
    text = DayName(WeekDay(days), false) + " " + std::to_string(date.day) +
           (date.day == 1 ? "er " : " ") + MonthName(date.month, false) + " " +
           std::to_string(date.year);
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
  static constexpr const char* kFull[] = {"dimanche", "lundi",    "mardi", "mercredi",
                                          "jeudi",    "vendredi", "samedi"};
  // Counted round in both directions, so 0 is Saturday and 8 Sunday again.
  long long index = (static_cast<long long>(n) - 1) % 7;
  if (index < 0) index += 7;
  return isShort ? kShort[index] : kFull[index];
}

std::string MonthName(int n, bool isShort) {
  static constexpr const char* kShort[] = {"janv", "févr", "mars", "avr", "mai", "juin",
                                           "juil", "août", "sept", "oct", "nov", "déc"};
  static constexpr const char* kFull[] = {"janvier",   "février", "mars",     "avril",
                                          "mai",       "juin",    "juillet",  "août",
                                          "septembre", "octobre", "novembre", "décembre"};
  const std::size_t a = Magnitude(n);
  if (a == 0) return "???";
  const std::size_t index = (a - 1) % 12;
  std::string name = isShort ? kShort[index] : kFull[index];
  if (n < 0) name.insert(0, isShort ? "janv-" : "janvier à ");
  return name;
}

FileVersion ReadFileVersion(const std::string& path) {
  // No version resource here: the program's own file carries the version it was built with.
  const std::string self = platform::ProgramFilePath();
  if (path.empty() || self.empty()) return {};
  std::error_code ec;
  if (!std::filesystem::equivalent(path, self, ec) || ec) return {};
  return {kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
}

std::string Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return std::string(text);
}

std::string ProgramTitle(int parts) {
  const std::string path = platform::ProgramFilePath();
  // Before the start-up has run, the name comes from the program file in the same way.
  const std::string name = ProgName().empty() ? SplitProgramPath(path).progName : ProgName();
  return ProgramTitle(parts, name, ReadFileVersion(path));
}

std::string ProgramTitle(int parts, std::string_view progName, const FileVersion& version) {
  const int numbers[] = {version.major, version.minor, version.release, version.build};
  const int count = parts < 1 ? 1 : parts > 4 ? 4 : parts;
  std::string title = "(";
  title += progName;
  title += " v";
  for (int i = 0; i < count; ++i) {
    if (i > 0) title += '.';
    title += FormatNumber(Variant::Integer(numbers[i]), ' ', true, 0, true, false);
  }
  title += ')';
  return title;
}

std::uint32_t RGBColor(int r, int g, int b) {
  return (static_cast<std::uint32_t>(r) & 0xFF) | (static_cast<std::uint32_t>(g) & 0xFF) << 8 |
         (static_cast<std::uint32_t>(b) & 0xFF) << 16;
}

}  // namespace qor
