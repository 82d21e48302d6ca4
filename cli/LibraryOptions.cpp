#include "cli/LibraryOptions.h"

#include "cli/Cli.h"
#include "simfinder/QORFS.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

std::optional<library::Library> ScanOptions(const Options& o, const std::string& only) {
  std::string folder = o.fs.value_or("");
  if (folder.empty() && !TFS::FindSimulatorPath(TFS::kFS2004, folder)) {
    Report("Je ne trouve pas FS2004 sur cet ordinateur : indiquez son dossier avec --fs DOSSIER.");
    return std::nullopt;
  }
  library::Library library = library::ScanLibrary(library::ReadSceneryConfig(folder), only);
  for (const library::Problem& p : library.problems) Report(p.message);
  return library;
}

std::optional<std::int32_t> ReadMm(const std::string& text, std::string& problem) {
  const std::optional<std::int32_t> mm = ReadMetres(text, problem);
  std::string line;
  for (std::size_t i = 0; i < problem.size(); ++i) {
    if (problem.compare(i, 2, "\r\n") == 0) {
      line += ' ';
      ++i;
    } else {
      line += problem[i];
    }
  }
  problem = line;
  return mm;
}

}  // namespace qor::cli
