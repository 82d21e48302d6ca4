// qorbgl-cli align and restore: the commands that change files of the library or put a
// file's backup copy back.

#include <optional>

#include "bgl/QORBglLib.h"
#include "cli/Cli.h"
#include "cli/LibraryOptions.h"
#include "library/Align.h"
#include "library/Library.h"
#include "platform/Console.h"
#include "platform/File.h"
#include "platform/PathText.h"
#include "platform/ShellFolders.h"
#include "platform/Trash.h"
#include "util/FileUtil.h"
#include "workflow/ElevationInput.h"

namespace qor::cli {

using library::Definition;
using library::Library;

int AlignCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o =
      ParseOptions(args, {"--fs", "--elevation", "--all", "--dry-run", "--no-backup"}, problem);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage("align attend un IDENT (indicatif OACI ou nom).");
  if (!o->elevation) return Usage("align attend --elevation METRES.");
  const std::optional<std::int32_t> mm = ReadMm(*o->elevation, problem);
  if (!mm) return Usage(problem);
  const std::string& airport = o->words[0];
  const std::optional<Library> library = ScanOptions(*o, airport);
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
  const std::vector<library::FieldChange> changes = library::PlanAlign(*library, active, *mm, o->all);
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
