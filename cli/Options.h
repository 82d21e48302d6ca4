#pragma once
// The one reading of a command's arguments: its options and the words that are not options.

#include <optional>
#include <string>
#include <string_view>
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

// How most commands name an option they do not take; list, find and set say "option inconnue : ".
inline constexpr std::string_view kUnknownHere = "option inconnue ici : ";

// The options of args among allowed (an argument starting with "--" is an option; those that
// take a value take the next argument, whatever it is); nothing, with the problem said in
// problem, for another option or one whose value is missing.
std::optional<Options> ParseOptions(const std::vector<std::string>& args,
                                    const std::vector<std::string>& allowed, std::string& problem,
                                    std::string_view unknown = kUnknownHere);

}  // namespace qor::cli
