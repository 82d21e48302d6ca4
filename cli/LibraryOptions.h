#pragma once
// What the library commands share: their options, the scan of the simulator's library they
// name, and metres read from an option.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/Library.h"

namespace qor::cli {

// The options of the library commands, and the words that are not options.
struct Options {
  std::vector<std::string> words;
  std::optional<std::string> fs;
  std::optional<std::string> elevation;
  std::optional<std::string> minDiff;
  bool json = false;
  bool all = false;
  bool dryRun = false;
  bool noBackup = false;
};

// The options of args among allowed; nothing, with the problem said in problem, for another.
std::optional<Options> ParseOptions(const std::vector<std::string>& args,
                                    const std::vector<std::string>& allowed, std::string& problem);

// The library of the simulator's folder (--fs, else the finder's), each file or folder that
// could not be read reported; nothing, said, when there is none.
std::optional<library::Library> ScanOptions(const Options& o, const std::string& only = {});

// Metres as an option gives them, in thousandths; nothing with the problem on one line.
std::optional<std::int32_t> ReadMm(const std::string& text, std::string& problem);

}  // namespace qor::cli
