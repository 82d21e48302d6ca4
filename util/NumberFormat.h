#pragma once
// Numbers as display text in the user's regional format: a width in characters, a number of
// decimals, the decimal and grouping symbols of the user's locale.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Regional.h"
#include "util/Variant.h"

namespace qor {

// The regional symbols FormatNumber uses by default: read from the user's locale on first use,
// and kept until SetNumberSymbols replaces them (after a regional change, or in tests).
const platform::NumberSymbols& CurrentNumberSymbols();
void SetNumberSymbols(platform::NumberSymbols symbols);

// Formats value after the width-and-decimals code spec, read as W.D: W = spec truncated is the
// minimum width in characters (negative: left-justified in |W|), D = its first decimal digit is
// the number of decimals. With showZero false a zero gives a blank field holding only a point
// where the decimal symbol would stand. A fill other than a blank replaces every blank of the
// result; isSigned puts "+ " in front, or a blank after a leading minus sign.
std::string FormatNumber(const Variant& value, char fill, bool showZero, double spec, bool grouped,
                         bool isSigned, const platform::NumberSymbols& symbols);
std::string FormatNumber(const Variant& value, char fill, bool showZero, double spec, bool grouped,
                         bool isSigned);

// Appends a count of thousandths as metres, exactly as FormatNumber writes thousandths / 1000
// with the spec width.3, grouped, showing zero, blank fill, unsigned; without floating point,
// since the airport tree writes one for each of its lines.
void AppendThousandths(std::string& out, std::int64_t thousandths, int width,
                       const platform::NumberSymbols& symbols);

// A count and what it counts, the word in the singular or the plural as the current language
// takes it for that count: "1 fichier", "0 fichiers", "3 files". The words come translated:
// Counted(n, Tr("fichier"), Tr("fichiers")).
std::string Counted(std::size_t n, const std::string& one, const std::string& many);

}  // namespace qor
