// qorbgl-cli: the command-line front end over the same libraries as the window.
//
//   qorbgl-cli list FILE [--json]   airports of a file
//   qorbgl-cli files FOLDER         the new-format BGL files of a folder, in listing order
//
// Exit status: 0 done; 1 nothing matched; 2 usage error; 3 a file could not be read or written.

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "bgl/QORBglLib.h"
#include "cli/Json.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/ShellFolders.h"

namespace qor::cli {
namespace {

enum Exit { kDone = 0, kNothing = 1, kUsage = 2, kFileError = 3 };

constexpr const char* kUsageText =
    "Utilisation :\n"
    "  qorbgl-cli list FICHIER [--json]   les aéroports d'un fichier BGL\n"
    "  qorbgl-cli files DOSSIER           les fichiers BGL FS2004 d'un dossier\n";

int Usage(const std::string& problem) {
  std::cerr << "qorbgl-cli : " << problem << "\n" << kUsageText;
  return kUsage;
}

// Messages are worded for message boxes, with CR LF line breaks; a terminal wants LF.
void Report(const std::string& message) {
  std::string text;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n') continue;
    text.push_back(message[i]);
  }
  std::cerr << "qorbgl-cli : " << text << "\n";
}

void PrintJson(const std::string& path, const TBGL& bgl) {
  std::string out = "{\"file\": " + JsonString(path) + ", \"airports\": [";
  bool firstAirport = true;
  for (const TAirport1Rec* airport : bgl.Airports()) {
    out += firstAirport ? "\n  " : ",\n  ";
    firstAirport = false;
    const TElevation& self = airport->Elevations[0];
    out += "{\"name\": " + JsonString(airport->Name) +
           ", \"elevation_mm\": " + std::to_string(self.SignedAltitude()) +
           ", \"offset\": " + std::to_string(self.Offset) + ", \"elements\": [";
    for (std::size_t i = 1; i < airport->Elevations.size(); ++i) {
      const TElevation& e = airport->Elevations[i];
      out += i == 1 ? "\n    " : ",\n    ";
      out += "{\"caption\": " + JsonString(e.Caption) +
             ", \"elevation_mm\": " + std::to_string(e.SignedAltitude()) +
             ", \"offset\": " + std::to_string(e.Offset) + "}";
    }
    out += airport->Elevations.size() > 1 ? "\n  ]}" : "]}";
  }
  out += firstAirport ? "]}\n" : "\n]}\n";
  std::cout << out;
}

int List(const std::string& path, bool json) {
  const TBGL bgl(path, platform::UserDesktopFolder());
  if (json) PrintJson(path, bgl);
  if (bgl.AirportCount() < 1) {
    Report("Ce fichier ne contient pas d'aéroports.");
    return kNothing;
  }
  if (json) return kDone;
  PlainTree tree;
  bgl.FillTree(tree);
  std::string out;
  for (const PlainTree::Line& line : tree.Lines()) {
    if (line.depth > 0) out += "   ";
    out += line.item->text;
    out += '\n';
  }
  std::cout << out;
  return kDone;
}

int Files(std::string folder) {
  if (!platform::FolderExists(folder)) {
    Report("Je ne trouve pas le dossier \"" + folder + "\".");
    return kFileError;
  }
  if (folder.back() != platform::kPathDelimiter) folder += platform::kPathDelimiter;
  int listed = 0;
  for (const std::string& name : platform::ListFolderFiles(folder, "bgl")) {
    if (!TBGL::CanRead(folder + name)) continue;
    std::cout << name << '\n';
    ++listed;
  }
  if (listed == 0) {
    Report("Ce dossier ne contient aucun fichier BGL que je sache lire.");
    return kNothing;
  }
  return kDone;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("il manque la commande.");
  const std::string& command = args[0];
  if (command == "list") {
    std::vector<std::string> paths;
    bool json = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--json")
        json = true;
      else if (args[i].rfind("--", 0) == 0)
        return Usage("option inconnue : " + args[i]);
      else
        paths.push_back(args[i]);
    }
    if (paths.size() != 1) return Usage("list attend un seul FICHIER.");
    return List(paths[0], json);
  }
  if (command == "files") {
    if (args.size() != 2) return Usage("files attend un seul DOSSIER.");
    return Files(args[1]);
  }
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsageText;
    return kDone;
  }
  return Usage("commande inconnue : " + command);
}

}  // namespace
}  // namespace qor::cli

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    return qor::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    qor::cli::Report("Mémoire insuffisante.");
  } catch (const std::exception& e) {
    qor::cli::Report(e.what());
  }
  std::cout.flush();
  return qor::cli::kFileError;
}
