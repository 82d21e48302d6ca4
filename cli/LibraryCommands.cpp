// qorbgl-cli areas, where, conflicts, align: the simulator's scenery library; check and
// restore: a folder's damaged files and a file's backup copy.

#include <optional>

#include "bgl/QORBglLib.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "library/Align.h"
#include "library/Library.h"
#include "platform/Console.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/PathText.h"
#include "platform/ShellFolders.h"
#include "platform/Trash.h"
#include "simfinder/QORFS.h"
#include "util/FileUtil.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

namespace {

using library::Definition;
using library::Library;

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

std::optional<Options> Parse(const std::vector<std::string>& args,
                             const std::vector<std::string>& allowed, std::string& problem) {
  Options o;
  const auto allows = [&](const std::string& option) {
    return std::find(allowed.begin(), allowed.end(), option) != allowed.end();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      o.words.push_back(arg);
      continue;
    }
    if (!allows(arg)) {
      problem = "option inconnue ici : " + arg;
      return std::nullopt;
    }
    if (arg == "--fs" || arg == "--elevation" || arg == "--min-diff") {
      if (i + 1 >= args.size()) {
        problem = arg + " attend une valeur.";
        return std::nullopt;
      }
      const std::string& value = args[++i];
      (arg == "--fs" ? o.fs : arg == "--elevation" ? o.elevation : o.minDiff) = value;
    } else {
      (arg == "--json"      ? o.json
       : arg == "--all"     ? o.all
       : arg == "--dry-run" ? o.dryRun
                            : o.noBackup) = true;
    }
  }
  return o;
}

// The library of the simulator's folder (--fs, else the finder's); nothing, said, when there
// is none.
std::optional<Library> Scan(const Options& o, const std::string& only = {}) {
  std::string folder = o.fs.value_or("");
  if (folder.empty() && !TFS::FindSimulatorPath(TFS::kFS2004, folder)) {
    Report("Je ne trouve pas FS2004 sur cet ordinateur : indiquez son dossier avec --fs DOSSIER.");
    return std::nullopt;
  }
  Library library = library::ScanLibrary(library::ReadSceneryConfig(folder), only);
  for (const library::Problem& p : library.problems) Report(p.message);
  return library;
}

void AppendDefinition(std::string& out, const Library& library, const Definition& d, bool shown) {
  const library::Area& area = library.AreaOf(d);
  out += "{\"area\": ";
  AppendJsonString(out, area.title);
  out += ", \"layer\": ";
  AppendJsonNumber(out, area.layer);
  out += area.active ? ", \"active\": true" : ", \"active\": false";
  out += shown ? ", \"shown\": true" : ", \"shown\": false";
  out += ", \"file\": ";
  AppendJsonString(out, d.file);
  out += ", \"icao\": ";
  AppendJsonString(out, d.icao);
  out += ", \"name\": ";
  AppendJsonString(out, d.name);
  out += ", \"latitude\": ";
  AppendJsonDegrees(out, d.latitude);
  out += ", \"longitude\": ";
  AppendJsonDegrees(out, d.longitude);
  out += ", \"elevation_mm\": ";
  AppendJsonNumber(out, d.elevationMm);
  out += ", \"offset\": ";
  AppendJsonNumber(out, d.offset);
  out += ", \"elements\": [";
  for (std::size_t i = 0; i < d.elements.size(); ++i) {
    out += i == 0 ? "{\"caption\": " : ", {\"caption\": ";
    AppendJsonString(out, d.elements[i].caption);
    out += ", \"elevation_mm\": ";
    AppendJsonNumber(out, d.elements[i].elevationMm);
    out += ", \"offset\": ";
    AppendJsonNumber(out, d.elements[i].offset);
    out += '}';
  }
  out += "]}";
}

// A definition as a line: where it is, what it says.
std::string DefinitionLine(const Library& library, const Definition& d, bool shown) {
  const library::Area& area = library.AreaOf(d);
  return std::string(shown ? "* " : "  ") + "[" + std::to_string(area.layer) + "] " + area.title +
         (area.active ? "" : " (inactive)") + " : " + d.file + " : " + d.name +
         (d.icao.empty() ? "" : " (" + d.icao + ")") + " " + Metres(d.elevationMm) + " m (offset " +
         std::to_string(d.offset) + ")\n";
}

std::optional<std::int32_t> ReadMm(const std::string& text, std::string& problem) {
  const std::optional<std::int32_t> mm = ReadMetres(text, problem);
  for (std::size_t at = problem.find("\r\n"); at != std::string::npos; at = problem.find("\r\n"))
    problem.replace(at, 2, " ");
  return mm;
}

}  // namespace

int AreasCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = Parse(args, {"--fs", "--json"}, problem);
  if (!o) return Usage(problem);
  if (!o->words.empty()) return Usage("areas n'attend aucun argument.");
  const std::optional<Library> library = Scan(*o);
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
    out += areas.empty() ? "]}\n" : "\n]}\n";
  } else {
    for (std::size_t a = 0; a < areas.size(); ++a) {
      out += "[" + std::to_string(areas[a].layer) + "] " + areas[a].title +
             (areas[a].active ? "" : " (inactive)") + " : " + areas[a].folder + " (" +
             std::to_string(library->files[a]) + " fichiers)\n";
    }
  }
  platform::WriteOut(out);
  return kDone;  // the files that could not be read are reported, as every library command does
}

int WhereCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = Parse(args, {"--fs", "--json"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage("where attend un AÉROPORT (indicatif OACI ou nom).");
  const std::string& airport = o->words[0];
  const std::optional<Library> library = Scan(*o, airport);
  if (!library) return kFileError;
  const std::vector<const Definition*> found = library::Where(*library, airport);
  const Definition* shown = library::Shown(*library, found);
  const bool agree = library::Agree(*library, found);
  std::string out;
  if (o->json) {
    out = "{\"airport\": " + JsonString(airport) + ", \"definitions\": [";
    for (std::size_t i = 0; i < found.size(); ++i) {
      out += i == 0 ? "\n  " : ",\n  ";
      AppendDefinition(out, *library, *found[i], found[i] == shown);
    }
    out += found.empty() ? "]" : "\n]";
    out += agree ? ", \"agree\": true}\n" : ", \"agree\": false}\n";
  } else {
    for (const Definition* d : found) out += DefinitionLine(*library, *d, d == shown);
    if (!found.empty()) {
      out += agree ? "Les définitions actives s'accordent.\n"
                   : "Les définitions actives ne s'accordent pas ; * : celle que le simulateur "
                     "montre.\n";
    }
  }
  platform::WriteOut(out);
  if (found.empty()) {
    Report("Aucune définition de « " + airport + " » dans la bibliothèque.");
    return kNothing;
  }
  return kDone;
}

int ConflictsCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = Parse(args, {"--fs", "--json", "--min-diff"}, problem);
  if (!o) return Usage(problem);
  if (!o->words.empty()) return Usage("conflicts n'attend aucun argument.");
  std::int32_t minDiff = 500;
  if (o->minDiff) {
    const std::optional<std::int32_t> mm = ReadMm(*o->minDiff, problem);
    if (!mm || *mm < 0) return Usage("--min-diff attend un écart positif en mètres. " + problem);
    minDiff = *mm;
  }
  const std::optional<Library> library = Scan(*o);
  if (!library) return kFileError;
  const std::vector<library::Conflict> conflicts = library::Conflicts(*library, minDiff);
  std::string out;
  if (o->json) {
    out = "{\"min_diff_mm\": " + std::to_string(minDiff) + ", \"conflicts\": [";
    for (std::size_t c = 0; c < conflicts.size(); ++c) {
      out += c == 0 ? "\n  {\"icao\": " : ",\n  {\"icao\": ";
      AppendJsonString(out, conflicts[c].icao);
      out += ", \"name\": ";
      AppendJsonString(out, conflicts[c].name);
      out += ", \"definitions\": [";
      const auto& defs = conflicts[c].definitions;
      for (std::size_t i = 0; i < defs.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendDefinition(out, *library, *defs[i], i + 1 == defs.size());
      }
      out += "\n  ]}";
    }
    out += conflicts.empty() ? "]}\n" : "\n]}\n";
  } else {
    for (const library::Conflict& c : conflicts) {
      out += (c.icao.empty() ? c.name : c.icao + " " + c.name) + " : écart de " +
             Metres(c.spreadMm) + " m\n";
      for (const Definition* d : c.definitions) {
        out += DefinitionLine(*library, *d, d == c.definitions.back());
      }
    }
  }
  platform::WriteOut(out);
  return conflicts.empty() ? kNothing : kDone;
}

int AlignCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = Parse(args, {"--fs", "--elevation", "--all", "--dry-run", "--no-backup"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage("align attend un IDENT (indicatif OACI ou nom).");
  if (!o->elevation) return Usage("align attend --elevation METRES.");
  const std::optional<std::int32_t> mm = ReadMm(*o->elevation, problem);
  if (!mm) return Usage(problem);
  const std::string& airport = o->words[0];
  const std::optional<Library> library = Scan(*o, airport);
  if (!library) return kFileError;
  std::vector<const Definition*> active;
  for (const Definition* d : library::Where(*library, airport)) {
    if (library->AreaOf(*d).active) active.push_back(d);
  }
  if (active.empty()) {
    Report("Aucune définition active de « " + airport +
           " » dans la bibliothèque : je n'écris rien.");
    return kNothing;
  }
  const std::vector<library::FieldChange> changes = library::PlanAlign(active, *mm, o->all);
  const auto line = [](const library::FieldChange& c) {
    return c.what + " (" + c.file + ", offset " + std::to_string(c.offset) +
           ") : " + Metres(c.oldMm) + " -> " + Metres(c.newMm) + " m\n";
  };
  if (o->dryRun) {
    std::string out;
    for (const library::FieldChange& c : changes) out += line(c);
    out += changes.empty() ? "Rien à changer.\n" : "(--dry-run : rien n'a été écrit)\n";
    platform::WriteOut(out);
    return kDone;
  }
  if (changes.empty()) {
    platform::WriteOut("Rien à changer : toutes les définitions actives sont déjà à " +
                       Metres(*mm) + " m.\n");
    return kDone;
  }
  library::AlignReport report;
  report.copied = [](const std::string& file, const std::string& copy) {
    platform::WriteOut("Copie de sécurité de " + file + " : " + copy + "\n");
  };
  report.written = [&](const library::FieldChange& c) { platform::WriteOut(line(c)); };
  library::Align(*library, changes, IncludeBackslash(platform::UserDesktopFolder()), !o->noBackup,
                 report);
  return kDone;
}

int CheckCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = Parse(args, {"--json"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage("check attend un seul DOSSIER.");
  const std::string folder = IncludeBackslash(o->words[0]);
  const std::vector<std::string> names = platform::ListFolderFiles(folder, "bgl");
  struct Finding {
    std::string name;
    bool oldFormat;
    std::string message;
  };
  std::vector<Finding> findings;
  bool damaged = false;
  for (const std::string& name : names) {
    const std::string path = folder + name;
    unsigned char word[2] = {};
    try {
      const auto file = platform::File::OpenRead(path);
      if (file->ReadAt(0, word, 2) == 2 && (word[0] | word[1] << 8) != TBGL::kHeader) {
        findings.push_back(
            {name, true,
             "ancien format (en-tête " +
                 ValueToHex(Variant::Word(static_cast<std::uint16_t>(word[0] | word[1] << 8))) +
                 ", pas $0201) : ce programme ne le lit pas"});
        continue;
      }
      // Read whole, as the window reads it, but not opened for writing: a read-only file is
      // no damaged one.
      const TBGL bgl(path, "", TBGL::Scope::WholeReadOnly);
    } catch (const Exception& e) {
      findings.push_back({name, false, e.what()});
      damaged = true;
    }
  }
  std::string out;
  if (o->json) {
    out = "{\"folder\": " + JsonString(o->words[0]) +
          ", \"checked\": " + std::to_string(names.size()) + ", \"files\": [";
    for (std::size_t i = 0; i < findings.size(); ++i) {
      out += i == 0 ? "\n  {\"name\": " : ",\n  {\"name\": ";
      AppendJsonString(out, findings[i].name);
      out += findings[i].oldFormat ? ", \"state\": \"old-format\"" : ", \"state\": \"damaged\"";
      out += ", \"message\": ";
      AppendJsonString(out, findings[i].message);
      out += '}';
    }
    out += findings.empty() ? "]}\n" : "\n]}\n";
  } else {
    for (const Finding& f : findings) out += f.name + " : " + f.message + "\n";
    out += std::to_string(names.size()) + " fichiers BGL examinés, " +
           std::to_string(findings.size()) + " illisibles.\n";
  }
  platform::WriteOut(out);
  return damaged ? kFileError : kDone;
}

int RestoreCommand(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) return Usage("restore attend un FICHIER.");
  const std::string& file = args[0];
  if (!platform::FileExists(file)) return NoSuchFile(file);
  const std::string copy = IncludeBackslash(platform::UserDesktopFolder()) +
                           TBGL::kBackupFolderName + platform::kPathDelimiter +
                           ExtractFileName(file);
  if (!platform::FileExists(copy)) {
    Report("Il n'y a pas de copie de sécurité de ce fichier : " + platform::QuotedPath(copy) +
           " n'existe pas. Je n'ai rien changé.");
    return kNothing;
  }
  if (!platform::MoveToTrash(file)) {
    Report("Je n'ai pas pu mettre " + platform::QuotedPath(file) +
           " à la corbeille : je n'ai rien changé.");
    return kFileError;
  }
  if (!CopyFileTo(copy, file, false)) {
    Report("Le fichier " + platform::QuotedPath(file) +
           " est à la corbeille, mais je n'ai pas pu remettre sa copie de sécurité à sa place : "
           "reprenez-le dans la corbeille, ou copiez " +
           platform::QuotedPath(copy) + " vous-même.");
    return kFileError;
  }
  platform::WriteOut("Copie de sécurité remise en place : " + file +
                     " (l'ancien fichier est à la corbeille).\n");
  return kDone;
}

}  // namespace qor::cli
