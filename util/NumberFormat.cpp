#include "util/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>

#include "text/Utf8.h"
#include "util/FitText.h"

namespace qor {

namespace {

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

namespace {

// Whether a count of n takes the singular word. English and German: for exactly one. French as
// the program has always written it: the same ("1 fichier", "0 fichiers"), where a grammar book
// would also allow "0 fichier". A language with other rules gets its case here.
bool TakesSingular(std::size_t n) {
  return n == 1;
}

}  // namespace

std::string Counted(std::size_t n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (TakesSingular(n) ? one : many);
}

}  // namespace qor
