// qorbgl-cli areas, where, conflicts: the simulator's scenery library; check: a folder's
// damaged files.

#include <cstdlib>
#include <optional>

#include "cli/Cli.h"
#include "cli/Json.h"
#include "cli/LibraryJson.h"
#include "cli/LibraryOptions.h"
#include "lang/Tr.h"
#include "library/DamageScan.h"
#include "library/Library.h"
#include "platform/Console.h"
#include "text/PathText.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

namespace {

using library::Definition;
using library::Library;

// A line of text output: its data cannot drive the terminal nor break the line.
std::string Line(const std::string& text) {
  return TerminalText(text) + '\n';
}

// An area's title, and whether the simulator leaves it out.
std::string AreaTitle(const library::Area& area) {
  return area.active ? area.title : Tr("%1 (inactive)", {area.title});
}

// A definition as a line: where it is, what it says.
std::string DefinitionLine(const Library& library, const Definition& d, bool shown) {
  const library::Area& area = library.AreaOf(d);
  return Line(std::string(shown ? "* " : "  ") +
              Tr("[%1] %2 : %3 : %4 %5 m (offset %6)",
                 {std::to_string(area.layer), AreaTitle(area), d.file,
                  d.icao.empty() ? d.name : d.name + " (" + d.icao + ")", Metres(d.elevationMm),
                  std::to_string(d.offset)}));
}

}  // namespace

int AreasCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--fs", "--json"}, problem);
  if (!o) return Usage(problem);
  if (!o->words.empty()) return Usage(Tr("areas n'attend aucun argument."));
  const std::optional<Library> library = ScanOptions(*o);
  if (!library) return kFileError;
  const auto& areas = library->config.areas;
  std::string out;
  if (o->json) {
    out = "{\"scenery_cfg\": " + JsonString(library->config.path) + ", \"areas\": [";
    for (std::size_t a = 0; a < areas.size(); ++a) {
      out += a == 0 ? "\n  {\"title\": " : ",\n  {\"title\": ";
      AppendJsonString(out, areas[a].title);
      out += ", \"local\": ";
      AppendJsonString(out, areas[a].local);
      out += ", \"folder\": ";
      AppendJsonString(out, areas[a].folder);
      out += ", \"layer\": ";
      AppendJsonNumber(out, areas[a].layer);
      out += areas[a].active ? ", \"active\": true" : ", \"active\": false";
      out += ", \"files\": ";
      AppendJsonNumber(out, static_cast<std::int64_t>(library->files[a]));
      out += '}';
    }
    out += areas.empty() ? "], " : "\n], ";
    AppendUnreadable(out, *library);
    out += "}\n";
  } else {
    for (std::size_t a = 0; a < areas.size(); ++a) {
      out += Line(Tr("[%1] %2 : %3 (%4)",
                     {std::to_string(areas[a].layer), AreaTitle(areas[a]), areas[a].folder,
                      Counted(library->files[a], Tr("fichier"), Tr("fichiers"))}));
    }
  }
  platform::WriteOut(out);
  return kDone;  // the files that could not be read are reported, as every library command does
}

int WhereCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--fs", "--json", "--reference"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage(Tr("where attend un AÉROPORT (indicatif OACI ou nom)."));
  const std::string& airport = o->words[0];
  std::optional<library::Reference> reference;
  if (!ReadReferenceOption(*o, reference)) return kFileError;
  const std::optional<Library> library = ScanOptions(*o, airport);
  if (!library) return kFileError;
  const std::vector<const Definition*> found = library::Where(*library, airport);
  const Definition* shown = library::Shown(*library, found);
  // The reference of the definition the simulator shows, else of the last one.
  const Definition* referenced = shown ? shown : found.empty() ? nullptr : found.back();
  library::ReferenceMatch match;
  if (reference && referenced) match = library::MatchDefinition(*reference, *referenced);
  // Definitions that disagree do so whatever the files not read hold; agreement cannot be told.
  const bool agreeAsRead = library::Agree(*library, found);
  const std::size_t notRead = library::ActiveProblems(*library);
  std::string out;
  if (o->json) {
    out = "{\"airport\": " + JsonString(airport) + ", \"definitions\": [";
    for (std::size_t i = 0; i < found.size(); ++i) {
      out += i == 0 ? "\n  " : ",\n  ";
      AppendDefinition(out, *library, *found[i], found[i] == shown);
    }
    out += found.empty() ? "]" : "\n]";
    out += agreeAsRead && notRead == 0 ? ", \"agree\": true, " : ", \"agree\": false, ";
    if (reference) {
      AppendReference(out, *reference, match);
      AppendRejected(out, match);
    }
    AppendUnreadable(out, *library);
    out += "}\n";
  } else {
    for (const Definition* d : found) out += DefinitionLine(*library, *d, d == shown);
    if (!found.empty()) {
      if (!agreeAsRead) {
        out += Tr("Les définitions actives ne s'accordent pas ; * : celle que le simulateur "
                  "montre.") +
               '\n';
      } else if (notRead > 0) {
        out += Tr("Je ne peux pas dire si les définitions actives s'accordent : %1.",
                  {library::ActiveProblemsText(notRead)}) +
               '\n';
      } else {
        out += Tr("Les définitions actives s'accordent.") + '\n';
      }
      if (reference) {
        out += ReferenceLine(*reference, match, referenced->icao);
        if (match.airport && shown &&
            library::DiffersFromReference(shown->elevationMm, match.airport->elevationMm, 0)) {
          out += Tr("L'altitude que le simulateur montre s'écarte de la référence de %1 m.",
                    {Metres(std::llabs(std::int64_t{shown->elevationMm} -
                                       match.airport->elevationMm))}) +
                 '\n';
        }
      }
    }
  }
  platform::WriteOut(out);
  if (found.empty()) {
    Report(Tr("Aucune définition de « %1 » dans la bibliothèque.", {airport}));
    return kNothing;
  }
  return kDone;
}

int ConflictsCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--fs", "--json", "--min-diff", "--reference"}, problem);
  if (!o) return Usage(problem);
  if (!o->words.empty()) return Usage(Tr("conflicts n'attend aucun argument."));
  std::int32_t minDiff = 500;
  if (o->minDiff) {
    const std::optional<std::int32_t> mm = ReadMm(*o->minDiff, problem);
    if (!mm || *mm < 0) {
      return Usage(Tr("--min-diff attend un écart positif en mètres. %1", {problem}));
    }
    minDiff = *mm;
  }
  std::optional<library::Reference> reference;
  if (!ReadReferenceOption(*o, reference)) return kFileError;
  const std::optional<Library> library = ScanOptions(*o);
  if (!library) return kFileError;
  const std::vector<library::Conflict> conflicts =
      library::Conflicts(*library, minDiff, reference ? &*reference : nullptr);
  std::string out;
  if (o->json) {
    out = "{\"min_diff_mm\": " + std::to_string(minDiff) + ", \"conflicts\": [";
    for (std::size_t c = 0; c < conflicts.size(); ++c) {
      out += c == 0 ? "\n  {\"icao\": " : ",\n  {\"icao\": ";
      AppendJsonString(out, conflicts[c].icao);
      out += ", \"name\": ";
      AppendJsonString(out, conflicts[c].name);
      if (reference) {
        out += ", ";
        AppendReference(out, *reference, conflicts[c].reference);
        out += "\"reasons\": [";
        if (conflicts[c].definitionsDiffer) out += "\"definitions\"";
        if (conflicts[c].definitionsDiffer && conflicts[c].referenceDiffers) out += ", ";
        if (conflicts[c].referenceDiffers) out += "\"reference\"";
        out += "]";
      }
      out += ", \"definitions\": [";
      const auto& defs = conflicts[c].definitions;
      for (std::size_t i = 0; i < defs.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendDefinition(out, *library, *defs[i], i + 1 == defs.size());
      }
      out += "\n  ]}";
    }
    out += conflicts.empty() ? "], " : "\n], ";
    AppendUnreadable(out, *library);
    out += "}\n";
  } else {
    for (const library::Conflict& c : conflicts) {
      std::string why;
      if (c.definitionsDiffer) why = Tr("écart de %1 m", {Metres(c.spreadMm)});
      if (c.referenceDiffers) {
        const Definition& shown = *c.definitions.back();
        const library::ReferenceAirport& row = *c.reference.airport;
        const std::string off =
            Tr("l'altitude affichée s'écarte de %1 m de la référence (%2 m, %3)",
               {Metres(std::llabs(std::int64_t{shown.elevationMm} - row.elevationMm)),
                Metres(row.elevationMm), library::FormatName(reference->format)});
        why = why.empty() ? off : Tr("%1 ; %2", {why, off});
      }
      out += Line(Tr("%1 : %2", {c.icao.empty() ? c.name : c.icao + " " + c.name, why}));
      for (const Definition* d : c.definitions) {
        out += DefinitionLine(*library, *d, d == c.definitions.back());
      }
    }
    // Silence would say that the other airports agree.
    if (const std::size_t notRead = library::ActiveProblems(*library); notRead > 0) {
      out += Tr("Je ne peux pas dire si les définitions actives des autres aéroports s'accordent "
                ": %1.",
                {library::ActiveProblemsText(notRead)}) +
             '\n';
    }
  }
  platform::WriteOut(out);
  return conflicts.empty() ? kNothing : kDone;
}

int CheckCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--json"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage(Tr("check attend un seul DOSSIER."));
  const library::DamageScan scan = [&] {
    const FrenchForJson french(o->json);
    return library::ScanForDamage(IncludeBackslash(o->words[0]));
  }();
  std::string out;
  if (o->json) {
    out = "{\"folder\": " + JsonString(o->words[0]) +
          ", \"checked\": " + std::to_string(scan.checked) + ", \"files\": [";
    for (std::size_t i = 0; i < scan.files.size(); ++i) {
      out += i == 0 ? "\n  {\"name\": " : ",\n  {\"name\": ";
      AppendJsonString(out, scan.files[i].name);
      out += scan.files[i].olderFormat ? ", \"state\": \"old-format\"" : ", \"state\": \"damaged\"";
      out += ", \"message\": ";
      AppendJsonString(out, scan.files[i].message);
      out += '}';
    }
    out += scan.files.empty() ? "]}\n" : "\n]}\n";
  } else {
    for (const library::UnreadableFile& f : scan.files) {
      out += Line(Tr("%1 : %2", {f.name, f.message}));
    }
    out += Tr("%1 fichiers BGL examinés, %2 illisibles.",
              {std::to_string(scan.checked), std::to_string(scan.files.size())}) +
           '\n';
  }
  platform::WriteOut(out);
  return scan.damaged ? kFileError : kDone;
}

}  // namespace qor::cli
