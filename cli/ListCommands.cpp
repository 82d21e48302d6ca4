// qorbgl-cli list and files: what the window's file list and airport tree show.

#include <iostream>

#include "bgl/QORBglLib.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/PathText.h"
#include "platform/ShellFolders.h"

namespace qor::cli {

namespace {

// Output goes out a piece at a time: a large file's listing is not held twice in memory.
constexpr std::size_t kOutputPiece = 64 * 1024;

void WriteIfFull(std::string& out) {
  if (out.size() < kOutputPiece) return;
  std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
  out.clear();
}

void PrintJson(const std::string& path, const TBGL& bgl) {
  std::string out = "{\"file\": " + JsonString(path);
  // A name that is not UTF-8 has no exact JSON text: its bytes come beside it.
  if (!platform::IsUtf8(path)) out += ", \"file_bytes\": \"" + HexBytes(path) + "\"";
  out += ", \"airports\": [";
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
    WriteIfFull(out);
  }
  out += firstAirport ? "]}\n" : "\n]}\n";
  std::cout << out;
}

int List(const std::string& path, bool json) {
  if (!platform::FileExists(path)) return NoSuchFile(path);
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
    WriteIfFull(out);
  }
  std::cout << out;
  return kDone;
}

int Files(std::string folder) {
  if (!platform::FolderExists(folder)) {
    Report("Je ne trouve pas le dossier " + platform::QuotedPath(folder) + ".");
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

}  // namespace

int ListCommand(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg.rfind("--", 0) == 0) {
      return Usage("option inconnue : " + arg);
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 1) return Usage("list attend un seul FICHIER.");
  return List(paths[0], json);
}

int FilesCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("files attend un seul DOSSIER.");
  return Files(args[0]);
}

}  // namespace qor::cli
