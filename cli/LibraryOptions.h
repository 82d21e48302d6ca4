#pragma once
// What the library commands share: the scan of the simulator's library their options name, and
// metres read from an option.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/Options.h"
#include "library/Library.h"

namespace qor::cli {

// The library of the simulator's folder (--fs, else the finder's), each file or folder that
// could not be read reported; nothing, said, when there is none.
std::optional<library::Library> ScanOptions(const Options& o, const std::string& only = {});

// The reference list --reference names, read whole into reference (left empty without the
// option), its malformed rows reported; false, said, when it cannot be read.
bool ReadReferenceOption(const Options& o, std::optional<library::Reference>& reference);

// What the reference says of an airport known by icao, as a line of text output:
// "Référence : NAME, ELEVATION m (FEET ft), SOURCE", or why it says nothing.
std::string ReferenceLine(const library::Reference& reference, const library::ReferenceMatch& match,
                          const std::string& icao);

// Metres as an option gives them, in thousandths; nothing with the problem on one line.
std::optional<std::int32_t> ReadMm(const std::string& text, std::string& problem);

}  // namespace qor::cli
