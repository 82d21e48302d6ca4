#include "workflow/ElevationInput.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

#include "lang/Tr.h"
#include "util/NumberFormat.h"

namespace qor {

namespace {

constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();

// The blanks a user may type, or paste from a regional format, around a number or between its
// groups of thousands. They look alike on screen, so they count as one grouping symbol.
constexpr std::string_view kNoBreakSpace = "\u00a0";
constexpr std::string_view kNarrowNoBreakSpace = "\u202f";

bool IsBlank(std::string_view symbol) {
  return symbol == " " || symbol == kNoBreakSpace || symbol == kNarrowNoBreakSpace;
}

// The bytes of the blank that text starts with (or ends with, at its end); 0 if none.
std::size_t BlankAt(std::string_view text, bool atEnd) {
  if (text.empty()) return 0;
  if (static_cast<unsigned char>(atEnd ? text.back() : text.front()) <= ' ') return 1;
  for (const std::string_view space : {kNoBreakSpace, kNarrowNoBreakSpace}) {
    if (atEnd ? text.ends_with(space) : text.starts_with(space)) return space.size();
  }
  return 0;
}

std::string_view TrimBlanks(std::string_view text) {
  while (const std::size_t n = BlankAt(text, false)) text.remove_prefix(n);
  while (const std::size_t n = BlankAt(text, true)) text.remove_suffix(n);
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A signed number cut into runs of digits and the symbols between them: "-1 234,5" gives the
// runs "1", "234", "5" and the symbols " " and ",". The first and the last run may be empty
// (".5", "5.").
struct Pieces {
  bool negative = false;
  std::vector<std::string_view> runs;
  std::vector<std::string_view> symbols;
};

std::optional<Pieces> Cut(std::string_view text, const platform::NumberSymbols& regional) {
  Pieces pieces;
  text = TrimBlanks(text);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    pieces.negative = text.front() == '-';
    text = TrimBlanks(text.substr(1));
  }
  // The regional symbols first: they may be several bytes that start like another symbol.
  const std::string_view known[] = {regional.decimal, regional.grouping,  ".", ",", "'", " ",
                                    kNoBreakSpace,    kNarrowNoBreakSpace};
  while (true) {
    std::size_t digits = 0;
    while (digits < text.size() && IsDigit(text[digits])) ++digits;
    pieces.runs.push_back(text.substr(0, digits));
    text.remove_prefix(digits);
    if (text.empty()) return pieces;
    std::string_view symbol;
    for (const std::string_view candidate : known) {
      if (!candidate.empty() && text.starts_with(candidate)) {
        symbol = candidate;
        break;
      }
    }
    if (symbol.empty()) return std::nullopt;  // a letter, "%", ":", "/", an exponent...
    pieces.symbols.push_back(symbol);
    text.remove_prefix(symbol.size());
  }
}

// A number read one way: the digits of its whole metres and of its fraction.
struct Reading {
  bool negative = false;
  std::string whole;
  std::string_view fraction;
};

// Reads the pieces with the locale's decimal symbol, "." and "," as decimal symbols, and the
// locale's grouping symbol, the blanks and the apostrophe between groups of three digits; or,
// with groupingIsDecimal, with the locale's grouping symbol taken for a decimal symbol.
std::optional<Reading> Read(const Pieces& pieces, const platform::NumberSymbols& regional,
                            bool groupingIsDecimal) {
  const auto isDecimal = [&](std::string_view symbol) {
    if (symbol == regional.decimal) return true;
    if (symbol == regional.grouping) return groupingIsDecimal;
    return symbol == "." || symbol == ",";
  };
  const std::size_t count = pieces.symbols.size();
  std::size_t groups = count;  // the symbols before the decimal one, if any
  for (std::size_t i = 0; i < count; ++i) {
    if (isDecimal(pieces.symbols[i])) {
      if (i + 1 != count) return std::nullopt;  // a second decimal symbol, or groups after it
      groups = i;
    }
  }
  Reading reading;
  reading.negative = pieces.negative;
  if (groups < count) reading.fraction = pieces.runs.back();
  if (groups > 0) {
    const std::string_view first = pieces.symbols.front();
    if (pieces.runs.front().empty() || pieces.runs.front().size() > 3) return std::nullopt;
    for (std::size_t i = 0; i < groups; ++i) {
      const std::string_view symbol = pieces.symbols[i];
      if (!(symbol == first || (IsBlank(symbol) && IsBlank(first)))) return std::nullopt;
      if (pieces.runs[i + 1].size() != 3) return std::nullopt;
    }
  }
  for (std::size_t i = 0; i <= groups; ++i) reading.whole += pieces.runs[i];
  if (reading.whole.empty() && reading.fraction.empty()) return std::nullopt;  // no digit
  return reading;
}

// The reading in thousandths, rounded half to even on its exact decimal digits; nothing when
// that does not fit 64 bits.
std::optional<std::int64_t> Thousandths(const Reading& reading) {
  std::string_view whole = reading.whole;
  whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.size() > 15) return std::nullopt;
  std::int64_t n = 0;
  for (const char c : whole) n = n * 10 + (c - '0');
  const std::string_view fraction = reading.fraction;
  for (std::size_t i = 0; i < 3; ++i) n = n * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  if (fraction.size() > 3) {
    const std::string_view rest = fraction.substr(3);
    const bool half = rest.front() == '5';
    const bool beyondHalf =
        rest.front() > '5' || (half && rest.find_first_not_of('0', 1) != std::string_view::npos);
    if (beyondHalf || (half && n % 2 != 0)) ++n;  // an exact half goes to the even one
  }
  return reading.negative ? -n : n;
}

// The value of a reading too large for 64 bits of thousandths, to show in a message.
std::string Huge(const Reading& reading) {
  const std::string digits = reading.whole + "." + std::string(reading.fraction);
  double value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                         std::chars_format::fixed);
  if (ec != std::errc()) value = std::numeric_limits<double>::max();
  return FormatNumber(Variant::Real(reading.negative ? -value : value), ' ', true, 0.3, true,
                      false);
}

std::string Example(const platform::NumberSymbols& regional) {
  return "433" + regional.decimal + "5";
}

}  // namespace

std::string Metres(std::int64_t thousandths, bool grouped) {
  if (grouped) {
    std::string out;
    AppendThousandths(out, thousandths, 0, CurrentNumberSymbols());
    return out;
  }
  return FormatNumber(Variant::Real(static_cast<double>(thousandths) / 1000.0), ' ', true, 0.3,
                      false, false);
}

std::optional<std::int32_t> ReadMetres(std::string_view text, std::string& problem) {
  const platform::NumberSymbols& regional = CurrentNumberSymbols();
  const std::optional<Pieces> pieces = Cut(text, regional);
  const std::optional<Reading> reading =
      pieces ? Read(*pieces, regional, false) : std::optional<Reading>();
  if (!reading) {
    problem =
        Tr("« %1 » n'est pas un nombre de mètres.\r\n\r\nTapez l'altitude en mètres, par "
           "exemple %2.",
           {text, Example(regional)});
    return std::nullopt;
  }
  const std::optional<std::int64_t> thousandths = Thousandths(*reading);

  // Where the locale groups thousands with a point or a comma, "2,007" may be a user's decimal
  // comma as well; only an unambiguous text is taken.
  if (regional.grouping == "." || regional.grouping == ",") {
    const std::optional<Reading> other = Read(*pieces, regional, true);
    const std::optional<std::int64_t> otherThousandths =
        other ? Thousandths(*other) : std::optional<std::int64_t>();
    if (thousandths && otherThousandths && *otherThousandths != *thousandths) {
      const std::string one = Metres(*thousandths);
      const std::string other = Metres(*otherThousandths);
      const std::string typed = Metres(*thousandths, false);
      problem =
          regional.grouping == ","
              ? Tr("« %1 » peut valoir %2 m ou %3 m, selon que la virgule sépare les milliers "
                   "ou les décimales.\r\n\r\nTapez l'altitude en mètres, par exemple %4 ou "
                   "%3.",
                   {text, one, other, typed})
              : Tr("« %1 » peut valoir %2 m ou %3 m, selon que le point sépare les milliers "
                   "ou les décimales.\r\n\r\nTapez l'altitude en mètres, par exemple %4 ou "
                   "%3.",
                   {text, one, other, typed});
      return std::nullopt;
    }
  }

  if (!thousandths || *thousandths < kLowest || *thousandths > kHighest) {
    problem =
        Tr("« %1 » : %2 m ne tient pas dans le champ d'altitude d'un BGL, qui va de %3 à "
           "%4 m.",
           {text, thousandths ? Metres(*thousandths) : Huge(*reading), Metres(kLowest),
            Metres(kHighest)});
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*thousandths);
}

}  // namespace qor
