#pragma once
// The one reading of a command's arguments: its options and the words that are not options.

#include <optional>
#include <string>
#include <vector>

namespace qor::cli {

struct Options {
  std::vector<std::string> words;
  std::optional<std::string> fs;
  std::optional<std::string> elevation;
  std::optional<std::string> minDiff;
  std::optional<std::string> offset;
  std::optional<std::string> airport;
  std::optional<std::string> reference;
  bool json = false;
  bool all = false;
  bool dryRun = false;
  bool noBackup = false;
};

// How a command names an option it does not take: most say "option inconnue ici : --x"; list,
// find and set, older, say "option inconnue : --x".
enum class Unknown { kHere, kAnywhere };

// The options of args among allowed (an argument starting with "--" is an option; those that
// take a value take the next argument, whatever it is); nothing, with the problem said in
// problem, for another option or one whose value is missing.
std::optional<Options> ParseOptions(const std::vector<std::string>& args,
                                    const std::vector<std::string>& allowed, std::string& problem,
                                    Unknown unknown = Unknown::kHere);

}  // namespace qor::cli
