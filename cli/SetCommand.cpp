// qorbgl-cli set: the window's elevation change, asking nothing. The backup copy is made as the
// window makes it; when none can be made, nothing is written unless --no-backup says so.

#include <limits>
#include <optional>

#include "bgl/Change.h"
#include "bgl/QORBglLib.h"
#include "cli/Cli.h"
#include "cli/Options.h"
#include "lang/Tr.h"
#include "platform/Console.h"
#include "platform/File.h"
#include "text/PathText.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

namespace {

struct Request {
  std::string file;
  std::optional<std::uint32_t> offset;
  std::optional<std::string> airport;
  std::optional<std::string> elevation;
  bool all = false;
  bool noBackup = false;
};

// A message box's text on one line: its paragraphs joined by a blank.
std::string FlatMessage(std::string text) {
  for (std::size_t at = text.find("\r\n\r\n"); at != std::string::npos;
       at = text.find("\r\n\r\n", at)) {
    text.replace(at, 4, " ");
  }
  return text;
}

std::optional<std::uint32_t> ParseOffset(const std::string& text) {
  if (text.empty() || !OnlyChars("0123456789", text) || text.size() > 10) return std::nullopt;
  const std::uint64_t n = std::stoull(text);
  if (n > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(n);
}

std::optional<Request> Parse(const std::vector<std::string>& args, std::string& problem) {
  const auto o =
      ParseOptions(args, {"--all", "--no-backup", "--offset", "--airport", "--elevation"}, problem,
                   Unknown::kAnywhere);
  if (!o) return std::nullopt;
  Request r;
  if (o->offset) {
    r.offset = ParseOffset(*o->offset);
    if (!r.offset) {
      problem = Tr("l'offset « %1 » n'est pas un nombre entier positif de 32 bits.", {*o->offset});
      return std::nullopt;
    }
  }
  r.airport = o->airport;
  r.elevation = o->elevation;
  r.all = o->all;
  r.noBackup = o->noBackup;
  if (o->words.size() != 1)
    problem = Tr("set attend un seul FICHIER.");
  else if (r.offset.has_value() == r.airport.has_value())
    problem = Tr("set attend soit --offset N, soit --airport NOM.");
  else if (!r.elevation)
    problem = Tr("set attend --elevation METRES.");
  else if (r.all && !r.airport)
    problem = Tr("--all ne va qu'avec --airport.");
  if (!problem.empty()) return std::nullopt;
  r.file = o->words[0];
  return r;
}

// The elevation fields the request names; empty (with the message said) when none or several.
std::vector<const TElevation*> Targets(const TBGL& bgl, const Request& r) {
  std::vector<const TElevation*> targets;
  const auto airports = bgl.Airports();
  if (r.offset) {
    for (const TAirport1Rec* airport : airports) {
      for (const TElevation& e : airport->Elevations) {
        if (e.Offset == *r.offset) return {&e};
      }
    }
    Report(Tr("L'offset %1 n'est celui d'aucune altitude de ce fichier.",
              {std::to_string(*r.offset)}));
    return {};
  }
  std::vector<const TAirport1Rec*> matches;
  for (const TAirport1Rec* airport : airports) {
    if (SameAirportName(airport->Name, *r.airport)) matches.push_back(airport);
  }
  if (matches.empty()) {
    Report(Tr("Aucun aéroport de ce fichier ne s'appelle « %1 ».", {*r.airport}));
    return {};
  }
  if (matches.size() > 1) {
    std::string names;
    for (const TAirport1Rec* airport : matches) {
      names += "\n  " + std::string(airport->Name) + " (--offset " +
               std::to_string(airport->Elevations[0].Offset) + ")";
    }
    Report(
        Tr("%1 aéroports de ce fichier s'appellent « %2 » ; je n'écris rien. Choisissez-en un "
           "par son offset :%3",
           {std::to_string(matches.size()), *r.airport, names}));
    return {};
  }
  for (const TElevation& e : matches[0]->Elevations) {
    targets.push_back(&e);
    if (!r.all) break;
  }
  return targets;
}

}  // namespace

int SetCommand(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<Request> request = Parse(args, problem);
  if (!request) return Usage(problem);
  const std::optional<std::int32_t> mm = ReadMetres(*request->elevation, problem);
  if (!mm) return Usage(FlatMessage(problem));

  if (!platform::FileExists(request->file)) return NoSuchFile(request->file);
  TBGL bgl(request->file, Desktop());
  const std::vector<const TElevation*> targets = Targets(bgl, *request);
  if (targets.empty()) return kNothing;

  // One change: with --all the airport and its elements are written all or nothing.
  std::vector<FileWrites> files{{&bgl, {}, {}}};
  std::vector<std::int32_t> olds;
  for (const TElevation* target : targets) {
    olds.push_back(bgl.ElevationAt(target->Offset));  // what the file holds now
    files[0].fields.push_back({target->Offset, 'D', *mm, olds.back(), ""});
  }
  ChangeOptions options;
  options.command = "set";
  CommandLineDialog dialog(request->noBackup);
  if (!WriteChange(files, options, dialog).accepted) return kFileError;
  std::string out;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    out += Tr("%1 (offset %2) : %3 -> %4 m",
              {TerminalText(targets[i]->Caption), std::to_string(targets[i]->Offset),
               Metres(olds[i]), Metres(*mm)}) +
           '\n';
  }
  platform::WriteOut(out);
  return kDone;
}

}  // namespace qor::cli
