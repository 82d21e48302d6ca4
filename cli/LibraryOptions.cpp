#include "cli/LibraryOptions.h"

#include <cmath>

#include "cli/Cli.h"
#include "platform/Errors.h"
#include "simfinder/QORFS.h"
#include "text/PathText.h"
#include "util/NumberFormat.h"
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

bool ReadReferenceOption(const Options& o, std::optional<library::Reference>& reference) {
  reference.reset();
  if (!o.reference) return true;
  try {
    reference = library::ReadReference(*o.reference);
  } catch (const Exception& e) {
    Report(e.what());
    return false;
  }
  if (reference->malformed > 0) {
    Report(QuotedPath(*o.reference) + " : " +
           Counted(reference->malformed, "ligne mal formée passée", "lignes mal formées passées") +
           ".");
  }
  return true;
}

std::string ReferenceLine(const library::Reference& reference, const library::ReferenceMatch& match,
                          const std::string& icao) {
  if (match.airport) {
    const library::ReferenceAirport& a = *match.airport;
    return "Référence : " + TerminalText(a.name) + ", " + Metres(a.elevationMm) + " m (" + a.feet +
           " ft), " + std::string(library::FormatName(reference.format)) + "\n";
  }
  if (match.rejected) {
    return "Référence : l'indicatif " + TerminalText(match.rejected->first) + " de " +
           TerminalText(QuotedPath(reference.file)) + " désigne un lieu à " +
           Metres(std::llround(match.rejected->second)) +
           " km de cet aéroport : ce n'est pas le même, je ne le retiens pas.\n";
  }
  if (icao.empty()) return "Référence : cet aéroport n'a pas d'indicatif OACI.\n";
  return "Référence : " + TerminalText(icao) + " n'est pas dans " +
         TerminalText(QuotedPath(reference.file)) + ".\n";
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
