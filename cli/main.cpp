// qorbgl-cli: the command-line front end over the same libraries as the window.
//
//   qorbgl-cli list FILE [--json]     airports of a file
//   qorbgl-cli files FOLDER           the new-format BGL files of a folder, in listing order
//   qorbgl-cli find FOLDER NAME [--json]
//                                     the files of a folder that define airport NAME
//   qorbgl-cli set FILE --offset N --elevation METRES [--no-backup]
//   qorbgl-cli set FILE --airport NAME --elevation METRES [--all] [--no-backup]
//   qorbgl-cli check FOLDER [--json] | restore FILE
//   qorbgl-cli areas | where AIRPORT | conflicts | align IDENT --elevation METRES ...
//                                     the simulator's scenery library (scenery.cfg), where,
//                                     conflicts and align also against --reference FILE
//   qorbgl-cli history [FILE] [--json] | undo [--json]
//                                     the journal of changes
//   qorbgl-cli --help | --version
//
// Exit status: 0 done; 1 nothing matched; 2 usage error; 3 a file could not be read or written.

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "library/Recovery.h"
#include "platform/Console.h"
#include "platform/Errors.h"
#include "platform/ShellFolders.h"
#include "text/PathText.h"
#include "util/FileUtil.h"
#include "util/ProgramTitle.h"

namespace qor::cli {

namespace {

constexpr const char* kUsageText =
    "Utilisation :\n"
    "  qorbgl-cli list FICHIER [--json]   les aéroports d'un fichier BGL\n"
    "  qorbgl-cli files DOSSIER           les fichiers BGL FS2004 d'un dossier\n"
    "  qorbgl-cli find DOSSIER NOM [--json]\n"
    "                                     les fichiers d'un dossier qui définissent l'aéroport "
    "NOM\n"
    "  qorbgl-cli set FICHIER --offset N --elevation METRES [--no-backup]\n"
    "  qorbgl-cli set FICHIER --airport NOM --elevation METRES [--all] [--no-backup]\n"
    "                                     change une altitude (en mètres), après une copie\n"
    "                                     de sécurité dans « QORBgl Backup » sur le bureau\n"
    "  qorbgl-cli check DOSSIER [--json]  les fichiers BGL d'un dossier qui ne se lisent pas\n"
    "  qorbgl-cli restore FICHIER         remet la copie de sécurité d'un fichier en place\n"
    "La bibliothèque de scènes (scenery.cfg de FS2004 ; --fs DOSSIER : le dossier de FS2004) :\n"
    "  qorbgl-cli areas [--fs DOSSIER] [--json]\n"
    "                                     les zones, dans l'ordre de chargement\n"
    "  qorbgl-cli where AÉROPORT [--fs DOSSIER] [--reference FICHIER] [--json]\n"
    "                                     toutes les définitions d'un aéroport (OACI ou nom)\n"
    "  qorbgl-cli conflicts [--fs DOSSIER] [--min-diff METRES] [--reference FICHIER] [--json]\n"
    "                                     les aéroports dont les altitudes ne s'accordent pas,\n"
    "                                     entre elles ou avec la référence\n"
    "  qorbgl-cli align IDENT --elevation METRES [--all] [--fs DOSSIER] [--dry-run]\n"
    "                   [--no-backup]     met toutes les définitions actives à une altitude\n"
    "  qorbgl-cli align IDENT --reference FICHIER [--all] [--fs DOSSIER] [--dry-run]\n"
    "                   [--no-backup]     ... à l'altitude que donne la référence\n"
    "La référence : airports.csv d'OurAirports ou airports.dat d'OpenFlights, téléchargé\n"
    "  une fois (le programme ne va jamais sur le réseau) ; un aéroport y est cherché par son\n"
    "  indicatif OACI, à moins de 10 km de sa définition.\n"
    "Le journal des modifications (chaque écriture y est notée avant d'être faite) :\n"
    "  qorbgl-cli history [FICHIER] [--json]\n"
    "                                     les modifications notées, les plus récentes d'abord\n"
    "  qorbgl-cli undo [--json]           défait la dernière modification, champ par champ\n";

constexpr const char* kInfoText =
    "  qorbgl-cli --help                  cette aide\n"
    "  qorbgl-cli --version               la version du programme\n";

// --help and --version as the first argument answer before any command is looked at.
std::optional<int> InfoOption(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  if (args[0] == "--version") {
    platform::WriteOut("qorbgl-cli (QORBgl) " + VersionText(BuiltVersion()) + "\n");
    return kDone;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    platform::WriteOut(std::string(kUsageText) + kInfoText);
    return kDone;
  }
  return std::nullopt;
}

// Puts the journal of changes in place, after undoing what a run cut short left unfinished.
void OpenJournal() {
  try {
    for (const std::string& line : library::OpenUserJournal()) Report(line);
  } catch (const Exception& e) {
    // A command that changes nothing still runs; one that would is refused by the journal.
    Report(e.what());
  }
}

int Run(const std::vector<std::string>& args) {
  if (const auto info = InfoOption(args)) return *info;
  if (args.empty()) return Usage("il manque la commande.");
  OpenJournal();
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "list") return ListCommand(rest);
  if (command == "files") return FilesCommand(rest);
  if (command == "find") return FindCommand(rest);
  if (command == "set") return SetCommand(rest);
  if (command == "check") return CheckCommand(rest);
  if (command == "restore") return RestoreCommand(rest);
  if (command == "areas") return AreasCommand(rest);
  if (command == "where") return WhereCommand(rest);
  if (command == "conflicts") return ConflictsCommand(rest);
  if (command == "align") return AlignCommand(rest);
  if (command == "history") return HistoryCommand(rest);
  if (command == "undo") return UndoCommand(rest);
  return Usage("commande inconnue : " + command);
}

}  // namespace

int Usage(const std::string& problem) {
  platform::WriteErr("qorbgl-cli : " + problem + "\n" + kUsageText);
  return kUsage;
}

void Report(const std::string& message) {
  std::string text;
  std::string line;
  for (std::size_t i = 0; i <= message.size(); ++i) {
    if (i < message.size() && message[i] == '\r' && i + 1 < message.size() &&
        message[i + 1] == '\n') {
      continue;
    }
    if (i == message.size() || message[i] == '\n') {
      // A name quoted raw must not drive the terminal (an escape sequence) nor garble it.
      text += TerminalText(ReadablePath(line));
      if (i < message.size()) text += '\n';
      line.clear();
    } else {
      line.push_back(message[i]);
    }
  }
  platform::WriteErr("qorbgl-cli : " + text + "\n");
}

int CommandLineDialog::MsgBox(const std::string&, const std::string&, int) {
  Report(noBackup_ ? "Aucune copie de sécurité n'a pu être faite ; --no-backup : j'écris sans."
                   : "Aucune copie de sécurité n'a pu être faite dans « QORBgl Backup » sur "
                     "votre bureau : je n'écris rien (--no-backup pour écrire sans copie).");
  return noBackup_ ? kIdYes : kIdNo;
}

int NoSuchFile(const std::string& path) {
  Report("Je ne trouve pas le fichier " + QuotedPath(path) + ".");
  return kFileError;
}

std::string Desktop() {
  return IncludeBackslash(platform::UserDesktopFolder());
}

}  // namespace qor::cli

int main(int argc, char** argv) {
  try {
    return qor::cli::Run(qor::platform::CommandLineArguments(argc, argv));
  } catch (const std::bad_alloc&) {
    qor::cli::Report("Mémoire insuffisante.");
  } catch (const std::exception& e) {
    qor::cli::Report(e.what());
  }
  return qor::cli::kFileError;
}
