#include "cli/Options.h"

#include <algorithm>
#include <string_view>

#include "lang/Tr.h"

namespace qor::cli {

namespace {

struct Valued {
  std::string_view name;
  std::optional<std::string> Options::*value;
};
constexpr Valued kValued[] = {{"--fs", &Options::fs},
                              {"--elevation", &Options::elevation},
                              {"--min-diff", &Options::minDiff},
                              {"--offset", &Options::offset},
                              {"--airport", &Options::airport},
                              {"--reference", &Options::reference}};

struct Flag {
  std::string_view name;
  bool Options::*value;
};
constexpr Flag kFlags[] = {{"--json", &Options::json},
                           {"--all", &Options::all},
                           {"--dry-run", &Options::dryRun},
                           {"--no-backup", &Options::noBackup}};

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args,
                                    const std::vector<std::string>& allowed, std::string& problem,
                                    Unknown unknown) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      o.words.push_back(arg);
      continue;
    }
    const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                   [&](const Flag& f) { return f.name == arg; });
    const auto valued = std::find_if(std::begin(kValued), std::end(kValued),
                                     [&](const Valued& v) { return v.name == arg; });
    const bool known = flag != std::end(kFlags) || valued != std::end(kValued);
    if (!known || std::find(allowed.begin(), allowed.end(), arg) == allowed.end()) {
      problem = unknown == Unknown::kHere ? Tr("option inconnue ici : %1", {arg})
                                          : Tr("option inconnue : %1", {arg});
      return std::nullopt;
    }
    if (flag != std::end(kFlags)) {
      o.*(flag->value) = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      problem = Tr("%1 attend une valeur.", {arg});
      return std::nullopt;
    }
    o.*(valued->value) = args[++i];
  }
  return o;
}

}  // namespace qor::cli
