#include "cli/LibraryOptions.h"

#include <cmath>

#include "cli/Cli.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "simfinder/QORFS.h"
#include "text/PathText.h"
#include "util/NumberFormat.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

std::optional<library::Library> ScanOptions(const Options& o, const std::string& only) {
  std::string folder = o.fs.value_or("");
  if (folder.empty() && !TFS::FindSimulatorPath(TFS::kFS2004, folder)) {
    Report(
        Tr("Je ne trouve pas FS2004 sur cet ordinateur : indiquez son dossier avec --fs "
           "DOSSIER."));
    return std::nullopt;
  }
  library::SceneryConfig config = library::ReadSceneryConfig(folder);
  const FrenchForJson french(o.json);  // the files not read are named in the JSON too
  library::Library library = library::ScanLibrary(std::move(config), only);
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
    Report(Tr("%1 : %2.", {QuotedPath(*o.reference),
                           Counted(reference->malformed, Tr("ligne mal formée passée"),
                                   Tr("lignes mal formées passées"))}));
  }
  return true;
}

std::string ReferenceLine(const library::Reference& reference, const library::ReferenceMatch& match,
                          const std::string& icao) {
  if (match.airport) {
    const library::ReferenceAirport& a = *match.airport;
    return Tr("Référence : %1, %2 m (%3 ft), %4", {TerminalText(a.name), Metres(a.elevationMm),
                                                   a.feet, library::FormatName(reference.format)}) +
           '\n';
  }
  if (match.rejected) {
    return Tr("Référence : l'indicatif %1 de %2 désigne un lieu à %3 km de cet aéroport : ce "
              "n'est pas le même, je ne le retiens pas.",
              {TerminalText(match.rejected->first), TerminalText(QuotedPath(reference.file)),
               Metres(std::llround(match.rejected->second))}) +
           '\n';
  }
  if (icao.empty()) return Tr("Référence : cet aéroport n'a pas d'indicatif OACI.") + '\n';
  return Tr("Référence : %1 n'est pas dans %2.",
            {TerminalText(icao), TerminalText(QuotedPath(reference.file))}) +
         '\n';
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
