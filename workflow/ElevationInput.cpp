#include "workflow/ElevationInput.h"

#include <cmath>
#include <limits>

#include "util/Evaluator.h"
#include "util/NumberFormat.h"

namespace qor {

namespace {

constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
constexpr double kHighest = std::numeric_limits<std::int32_t>::max();

// The no-break spaces that regional formats group thousands with read as the blank the
// evaluator takes between thousands.
std::string WithPlainBlanks(std::string_view text) {
  std::string out(text);
  for (const std::string_view space : {"\u00a0", "\u202f"}) {
    for (std::size_t at = out.find(space); at != std::string::npos; at = out.find(space, at)) {
      out.replace(at, space.size(), " ");
    }
  }
  return out;
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
  const std::string quoted = "« " + std::string(text) + " »";
  bool ok = false;
  Variant value;
  const std::string plain = WithPlainBlanks(text);
  EvalText(plain, ok, value);
  // Per-cent values and clock times are numbers to the evaluator, not heights.
  const bool number = ok && (value.IsInteger() || value.Kind() == VarKind::Real) &&
                      plain.find_first_of("%:") == std::string::npos;
  if (!number) {
    problem = quoted +
              " n'est pas un nombre de mètres.\r\n\r\nTapez l'altitude en mètres, par exemple "
              "433,5.";
    return std::nullopt;
  }
  const double thousandths = std::nearbyint(value.AsReal() * 1000.0);  // ties to even
  if (!(thousandths >= kLowest && thousandths <= kHighest)) {
    problem = quoted + " : " + FormatNumber(value, ' ', true, 0.3, true, false) +
              " m ne tient pas dans le champ d'altitude d'un BGL, qui va de " +
              Metres(std::numeric_limits<std::int32_t>::min()) + " à " +
              Metres(std::numeric_limits<std::int32_t>::max()) + " m.";
    return std::nullopt;
  }
  return static_cast<std::int32_t>(thousandths);
}

}  // namespace qor
