#pragma once
// Reading one value from text as a French-speaking user writes it by hand: "1 234,5", "1'234",
// "50%", "1:30" (hours), "25.12.2004 14:30". No operators and no names: one value per text.

#include <string_view>

#include "platform/Regional.h"
#include "util/Variant.h"

namespace qor {

// The evaluator proper. Yields an Integer (whole number without a point or "%" that fits 32
// bits), a Real (decimals, per-cent values, clock times in hours, larger whole numbers) or a
// DateTime (days since 30 December 1899). Blank text gives ok = true and an empty value;
// malformed text gives ok = false and a null value. Never throws.
void EvalText(std::string_view text, bool& ok, Variant& value);

// The value of text as EvalText reads it, with the integer 0 for blank or malformed text.
Variant StrToValue(std::string_view text);

// Reads back a number that FormatNumber wrote with these regional symbols: the grouping symbol
// is taken out and the decimal symbol read as a point, so that a point or a comma between
// thousands is never taken for a decimal symbol. Blank or malformed text gives 0.
Variant StrToValueFormatted(std::string_view text, const platform::NumberSymbols& symbols);

}  // namespace qor
