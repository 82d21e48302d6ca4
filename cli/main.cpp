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
//   qorbgl-cli --lang fr|en|de ...    the texts in that language (without it, the window's);
//                                     the JSON and the exit status are the same in all three
//
// Exit status: 0 done; 1 nothing matched; 2 usage error; 3 a file could not be read or written.

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "lang/Language.h"
#include "lang/Tr.h"
#include "library/Recovery.h"
#include "platform/Console.h"
#include "platform/Errors.h"
#include "platform/Process.h"
#include "platform/ShellFolders.h"
#include "text/PathText.h"
#include "text/Utf8.h"
#include "util/Environment.h"
#include "util/FileUtil.h"
#include "util/ProgramTitle.h"
#include "util/Settings.h"

namespace qor::cli {

namespace {

// The window's program name keys the settings: the command line speaks the language chosen there.
constexpr const char* kWindowProgram = "QORBgl";

// A usage line: the command from column 2, its description from column 37, or under it when the
// command leaves no room. A command's further lines line up after "qorbgl-cli COMMAND "; a
// description's further lines keep its column.
void Row(std::string& out, std::string_view command, std::string_view description = {}) {
  constexpr std::size_t kColumn = 37;
  const std::size_t second = command.find(' ', command.find(' ') + 1);
  const std::string follow(2 + (second == std::string_view::npos ? 0 : second + 1), ' ');
  std::string line = "  ";
  for (const char c : command) {
    if (c != '\n') {
      line += c;
      continue;
    }
    out += line + '\n';
    line = follow;
  }
  if (description.empty()) {
    out += line + '\n';
    return;
  }
  if (CharCount(line) + 2 > kColumn) {
    out += line + '\n';
    line.clear();
  }
  line.resize(line.size() + kColumn - CharCount(line), ' ');
  for (const char c : description) {
    if (c != '\n') {
      line += c;
      continue;
    }
    out += line + '\n';
    line = std::string(kColumn, ' ');
  }
  out += line + '\n';
}

// A paragraph: its first line from column 0, the others from column 2.
void Paragraph(std::string& out, std::string_view text) {
  for (const char c : text) out += c == '\n' ? std::string("\n  ") : std::string(1, c);
  out += '\n';
}

std::string UsageText() {
  std::string out = Tr("Utilisation :") + "\n";
  Row(out, Tr("qorbgl-cli list FICHIER [--json]"), Tr("les aéroports d'un fichier BGL"));
  Row(out, Tr("qorbgl-cli files DOSSIER"), Tr("les fichiers BGL FS2004 d'un dossier"));
  Row(out, Tr("qorbgl-cli find DOSSIER NOM [--json]"),
      Tr("les fichiers d'un dossier qui définissent l'aéroport NOM"));
  Row(out, Tr("qorbgl-cli set FICHIER --offset N --elevation METRES [--no-backup]"));
  Row(out, Tr("qorbgl-cli set FICHIER --airport NOM --elevation METRES [--all] [--no-backup]"),
      Tr("change une altitude (en mètres), après une copie\n"
         "de sécurité dans « QORBgl Backup » sur le bureau"));
  Row(out, Tr("qorbgl-cli check DOSSIER [--json]"),
      Tr("les fichiers BGL d'un dossier qui ne se lisent pas"));
  Row(out, Tr("qorbgl-cli restore FICHIER"),
      Tr("remet la copie de sécurité d'un fichier en place"));
  out += Tr("La bibliothèque de scènes (scenery.cfg de FS2004 ; --fs DOSSIER : le dossier de "
            "FS2004) :") +
         "\n";
  Row(out, Tr("qorbgl-cli areas [--fs DOSSIER] [--json]"),
      Tr("les zones, dans l'ordre de chargement"));
  Row(out, Tr("qorbgl-cli where AÉROPORT [--fs DOSSIER] [--reference FICHIER] [--json]"),
      Tr("toutes les définitions d'un aéroport (OACI ou nom)"));
  Row(out,
      Tr("qorbgl-cli conflicts [--fs DOSSIER] [--min-diff METRES] [--reference FICHIER] [--json]"),
      Tr("les aéroports dont les altitudes ne s'accordent pas,\nentre elles ou avec la référence"));
  Row(out,
      Tr("qorbgl-cli align IDENT --elevation METRES [--all] [--fs DOSSIER] [--dry-run]\n"
         "[--no-backup]"),
      Tr("met toutes les définitions actives à une altitude"));
  Row(out,
      Tr("qorbgl-cli align IDENT --reference FICHIER [--all] [--fs DOSSIER] [--dry-run]\n"
         "[--no-backup]"),
      Tr("... à l'altitude que donne la référence"));
  Paragraph(out, Tr("La référence : airports.csv d'OurAirports ou airports.dat d'OpenFlights, "
                    "téléchargé\nune fois (le programme ne va jamais sur le réseau) ; un aéroport "
                    "y est cherché par son\nindicatif OACI, à moins de 10 km de sa définition."));
  out +=
      Tr("Le journal des modifications (chaque écriture y est notée avant d'être faite) :") + "\n";
  Row(out, Tr("qorbgl-cli history [FICHIER] [--json]"),
      Tr("les modifications notées, les plus récentes d'abord"));
  Row(out, Tr("qorbgl-cli undo [--json]"), Tr("défait la dernière modification, champ par champ"));
  Row(out, Tr("qorbgl-cli --lang fr|en|de COMMANDE ..."),
      Tr("les textes en français, en anglais ou en allemand\n"
         "(sans --lang : la langue choisie dans la fenêtre) ;\n"
         "le JSON et les codes de sortie ne changent pas"));
  return out;
}

std::string InfoText() {
  std::string out;
  Row(out, "qorbgl-cli --help", Tr("cette aide"));
  Row(out, "qorbgl-cli --version", Tr("la version du programme"));
  return out;
}

// --help and --version as the first argument answer before any command is looked at.
std::optional<int> InfoOption(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  if (args[0] == "--version") {
    platform::WriteOut("qorbgl-cli (QORBgl) " + VersionText(BuiltVersion()) + "\n");
    return kDone;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    platform::WriteOut(UsageText() + InfoText());
    return kDone;
  }
  return std::nullopt;
}

// The language the window saved, else French.
lang::Language SavedLanguage() {
  return lang::FromCode(ReadSetting("Langue")).value_or(lang::Language::kFrench);
}

// Takes "--lang CODE" (or "--lang=CODE") off the front of args and speaks its language, else the
// one the window saved; a code it does not know is a problem said in the latter.
std::optional<std::string> ChooseLanguage(std::vector<std::string>& args) {
  std::optional<std::string> code;
  std::size_t taken = 0;
  if (!args.empty() && args[0] == "--lang") {
    taken = args.size() > 1 ? 2 : 1;
    code = args.size() > 1 ? args[1] : "";
  } else if (!args.empty() && args[0].rfind("--lang=", 0) == 0) {
    taken = 1;
    code = args[0].substr(7);
  }
  args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(taken));
  const std::optional<lang::Language> chosen = code ? lang::FromCode(*code) : std::nullopt;
  lang::SetCurrent(chosen ? *chosen : SavedLanguage());
  if (!code || chosen) return std::nullopt;
  if (code->empty()) return Tr("--lang attend une langue : fr, en ou de.");
  return Tr("--lang attend fr, en ou de, pas « %1 ».", {TerminalText(*code)});
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

int Run(std::vector<std::string> args) {
  SetEnvironment(kWindowProgram, SplitProgramPath(platform::ProgramFilePath()).appFolder,
                 Desktop());
  if (const std::optional<std::string> problem = ChooseLanguage(args)) return Usage(*problem);
  if (const auto info = InfoOption(args)) return *info;
  if (args.empty()) return Usage(Tr("il manque la commande."));
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
  return Usage(Tr("commande inconnue : %1", {command}));
}

}  // namespace

int Usage(const std::string& problem) {
  platform::WriteErr(Tr("qorbgl-cli : %1", {problem}) + "\n" + UsageText());
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
  platform::WriteErr(Tr("qorbgl-cli : %1", {text}) + "\n");
}

int CommandLineDialog::MsgBox(const std::string&, const std::string&, int) {
  Report(noBackup_ ? Tr("Aucune copie de sécurité n'a pu être faite ; --no-backup : j'écris sans.")
                   : Tr("Aucune copie de sécurité n'a pu être faite dans « QORBgl Backup » sur "
                        "votre bureau : je n'écris rien (--no-backup pour écrire sans copie)."));
  return noBackup_ ? kIdYes : kIdNo;
}

FrenchForJson::FrenchForJson(bool json) {
  if (!json) return;
  spoken_ = lang::Current();
  lang::SetCurrent(lang::Language::kFrench);
}

FrenchForJson::~FrenchForJson() {
  if (spoken_) lang::SetCurrent(*spoken_);
}

int NoSuchFile(const std::string& path) {
  Report(Tr("Je ne trouve pas le fichier %1.", {QuotedPath(path)}));
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
    qor::cli::Report(qor::Tr("Mémoire insuffisante."));
  } catch (const std::exception& e) {
    qor::cli::Report(e.what());
  }
  return qor::cli::kFileError;
}
