#include "util/Evaluator.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "text/Trim.h"
#include "util/FileUtil.h"
#include "util/TextFields.h"

namespace qor {
namespace {

void ReplaceAll(std::string& text, std::string_view what, std::string_view by) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
    out.append(text, from, at - from).append(by);
    from = at + what.size();
  }
  out.append(text, from);
  text = std::move(out);
}

// Days between 30 December 1899 and the given Gregorian date (proleptic calendar).
long long DaysFromDate(long long year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + 25569;  // 25569: from 1 January 1970 back to 1899
}

int DaysInMonth(long long year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// One call of EvalText: the text being cut, the sign and the per-cent mark seen so far, and
// where the answer goes. A nested call (a field of a clock time or of a date) gets its own.
class Evaluation {
 public:
  Evaluation(std::string_view text, bool& ok, Variant& value)
      : text_(text), ok_(ok), value_(value) {}

  void Run();

 private:
  void FinishValue(const Variant& v);
  void ParseNumber();
  void ParseClock();
  void ParseDate();
  std::optional<double> ClockHours(std::string text) const;

  std::string text_;
  int sign_ = 1;
  // A trailing "%" scales by 0.01; the scaling divides by 100, which rounds correctly where
  // multiplying by the inexact 0.01 may miss by one unit in the last place.
  bool percent_ = false;
  bool& ok_;
  Variant& value_;
};

void Evaluation::Run() {
  text_ = std::string(Trim(text_));
  if (text_.empty()) return FinishValue(Variant());
  if (text_.back() == '%') {
    percent_ = true;
    text_ = std::string(Trim(std::string_view(text_).substr(0, text_.size() - 1)));
  }
  if (text_.empty()) return FinishValue(Variant());
  // At most one leading sign: "+-5" is malformed, not -5.
  if (text_.front() == '+') {
    text_ = std::string(Trim(std::string_view(text_).substr(1)));
    if (text_.empty()) return FinishValue(Variant());
  } else if (text_.front() == '-') {
    sign_ = -1;
    text_ = std::string(Trim(std::string_view(text_).substr(1)));
  }
  if (text_.empty()) return FinishValue(Variant());

  std::replace(text_.begin(), text_.end(), '/', '.');
  std::replace(text_.begin(), text_.end(), ',', '.');
  if (text_.front() == '.') text_.insert(0, 1, '0');

  const auto points = std::count(text_.begin(), text_.end(), '.');
  if (points >= 2) return ParseDate();
  if (text_.find(':') != std::string::npos) return ParseClock();
  ParseNumber();
}

void Evaluation::FinishValue(const Variant& v) {
  value_ = v;
  switch (v.Kind()) {
    case VarKind::Empty:
    case VarKind::DateTime:
      ok_ = true;
      return;
    case VarKind::Null:
      ok_ = false;
      return;
    default:
      ok_ = true;
      if (percent_) value_ = Variant::Real(v.AsReal() / 100.0);
      value_ = value_ * Variant::Integer(sign_);
  }
}

void Evaluation::ParseNumber() {
  if (text_.back() == '.') text_.pop_back();  // "5." is the integer 5

  // Blank and apostrophe separate thousands. The no-break spaces count as blanks, since the
  // regional grouping symbol the formatter writes may be one of them.
  ReplaceAll(text_, " ", "'");
  ReplaceAll(text_, "\u00A0", "'");
  ReplaceAll(text_, "\u202F", "'");
  if (const std::size_t first = text_.find('\''); first != std::string::npos) {
    // Only the groups after the first separator are checked: three digits each, the last one
    // followed by nothing or by the decimal point.
    std::string_view rest = std::string_view(text_).substr(first + 1);
    for (std::size_t p = rest.find('\''); p != std::string_view::npos; p = rest.find('\'')) {
      if (p != 3 || rest.substr(0, 3).find('.') != std::string_view::npos)
        return FinishValue(Variant::Null());
      rest.remove_prefix(p + 1);
    }
    const std::size_t point = rest.find('.');
    if (point == std::string_view::npos ? rest.size() != 3 : point != 3)
      return FinishValue(Variant::Null());
    std::erase(text_, '\'');
    if (text_.empty()) return FinishValue(Variant());
  }

  // Any foreign character anywhere makes the text malformed, also after a digit string too
  // long for a double.
  if (!OnlyChars(".0123456789", text_)) return FinishValue(Variant::Null());
  const std::size_t point = text_.find('.');
  if (text_.empty()) return FinishValue(Variant::Integer(0));

  // The correctly rounded value of the decimal text; adding digit after digit would drift by
  // a unit in the last place on texts such as "3.14159".
  double acc = 0;
  const auto [end, ec] =
      std::from_chars(text_.data(), text_.data() + text_.size(), acc, std::chars_format::fixed);
  if (ec == std::errc::result_out_of_range) {
    // Too large for a double: the largest one stands for it, so that a range check downstream
    // still refuses it. Too small: it is 0.
    const std::string_view whole = std::string_view(text_).substr(0, point);
    acc = whole.find_first_not_of('0') != std::string_view::npos
              ? std::numeric_limits<double>::max()
              : 0.0;
  } else if (ec != std::errc() || end != text_.data() + text_.size()) {
    return FinishValue(Variant::Null());
  }

  if (point != std::string::npos) return FinishValue(Variant::Real(acc));
  constexpr double kMaxInteger = std::numeric_limits<std::int32_t>::max();
  if (acc <= kMaxInteger) return FinishValue(Variant::Integer(static_cast<std::int32_t>(acc)));
  if (sign_ < 0 && acc == kMaxInteger + 1) {
    // -2147483648 still fits 32 bits although its magnitude does not.
    sign_ = 1;
    return FinishValue(Variant::Integer(std::numeric_limits<std::int32_t>::min()));
  }
  FinishValue(Variant::Real(acc));  // a whole number beyond 32 bits
}

// h:mm or h:mm:ss in hours; nothing when the text is no clock time.
std::optional<double> Evaluation::ClockHours(std::string text) const {
  if (percent_) return std::nullopt;
  if (!OnlyChars("0123456789:", text)) return std::nullopt;
  // The hour has no bound; kept as a real so that a long one cannot overflow an integer.
  const double hours = StrToValue(CutField(text, ":")).AsReal();
  const std::string minuteText = CutField(text, ":");
  if (minuteText.size() != 2) return std::nullopt;
  const std::int64_t minutes = StrToValue(minuteText).AsInt64();
  if (minutes >= 60) return std::nullopt;
  std::int64_t seconds = 0;
  if (!text.empty()) {
    const std::string secondText = CutField(text, ":");  // what follows a third ":" is ignored
    if (secondText.size() != 2) return std::nullopt;
    seconds = StrToValue(secondText).AsInt64();
    if (seconds >= 60) return std::nullopt;
  }
  return hours + static_cast<double>(minutes) / 60 + static_cast<double>(seconds) / 3600;
}

void Evaluation::ParseClock() {
  const std::optional<double> hours = ClockHours(text_);
  FinishValue(hours ? Variant::Real(*hours) : Variant::Null());
}

// A day or a month: a whole number as the user wrote it. A per-cent value or a clock time
// ("150%", "1:30") is no day, even where it would round to one.
std::optional<std::int64_t> WholeNumber(std::string_view text) {
  bool ok = false;
  Variant value;
  EvalText(text, ok, value);
  if (!ok || value.Kind() != VarKind::Integer) return std::nullopt;
  return value.AsInt64();
}

void Evaluation::ParseDate() {
  if (sign_ < 0 || percent_) return FinishValue(Variant::Null());
  double fraction = 0.0;
  if (text_.find(':') != std::string::npos) {
    std::string date(Trim(CutField(text_, " ")));
    if (date.empty()) return FinishValue(Variant::Null());
    if (date.back() == '.') {
      date.pop_back();
      date = std::string(Trim(date));
      if (date.empty()) return FinishValue(Variant::Null());
    }
    text_ = std::string(Trim(text_));
    if (text_.empty()) return FinishValue(Variant::Null());
    const std::optional<double> hours = ClockHours(text_);
    if (!hours) return FinishValue(Variant::Null());
    fraction = *hours / 24;
    if (fraction >= 1.0) return FinishValue(Variant::Null());
    text_ = date;
  }

  const std::optional<std::int64_t> day = WholeNumber(CutField(text_, "."));
  if (!day || *day < 1 || *day > 31) return FinishValue(Variant::Null());
  const std::optional<std::int64_t> month = WholeNumber(CutField(text_, "."));
  if (!month || *month < 1 || *month > 12) return FinishValue(Variant::Null());

  const std::size_t yearLength = Trim(text_).size();
  if (yearLength != 2 && yearLength != 4) return FinishValue(Variant::Null());
  // A blank or per-cent year ("+%", "5%") is no year either.
  const std::optional<std::int64_t> parsedYear = WholeNumber(text_);
  if (!parsedYear || *parsedYear < 0) return FinishValue(Variant::Null());
  std::int64_t year = *parsedYear;
  if (year < 50)
    year += 2000;
  else if (year < 100)
    year += 1900;
  if (year < 1900 || year > 2200) return FinishValue(Variant::Null());

  const int m = static_cast<int>(*month), d = static_cast<int>(*day);
  if (d > DaysInMonth(year, m)) return FinishValue(Variant::Null());
  FinishValue(Variant::DateTime(static_cast<double>(DaysFromDate(year, m, d)) + fraction));
}

}  // namespace

void EvalText(std::string_view text, bool& ok, Variant& value) {
  Evaluation(text, ok, value).Run();
}

Variant StrToValue(std::string_view text) {
  bool ok = false;
  Variant value;
  EvalText(text, ok, value);
  if (value.Kind() == VarKind::Empty || value.Kind() == VarKind::Null) return Variant::Integer(0);
  return value;
}

Variant StrToValueFormatted(std::string_view text, const platform::NumberSymbols& symbols) {
  std::string plain(text);
  if (!symbols.grouping.empty()) ReplaceAll(plain, symbols.grouping, "");
  if (!symbols.decimal.empty() && symbols.decimal != ".") ReplaceAll(plain, symbols.decimal, ".");
  return StrToValue(plain);
}

}  // namespace qor
