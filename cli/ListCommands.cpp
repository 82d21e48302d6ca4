// qorbgl-cli list and files: what the window's file list and airport tree show.

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "bgl/QORBglLib.h"
#include "cli/AirportJson.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "cli/Options.h"
#include "lang/Tr.h"
#include "platform/Console.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "text/PathText.h"
#include "text/Utf8.h"
#include "util/NumberFormat.h"
#include "workflow/AirportLines.h"
#include "workflow/AirportSearch.h"
#include "workflow/FolderListing.h"

namespace qor::cli {

namespace {

// Output goes out a piece at a time: a large file's listing is not held twice in memory.
constexpr std::size_t kOutputPiece = 64 * 1024;

void WriteIfFull(std::string& out) {
  if (out.size() < kOutputPiece) return;
  platform::WriteOut(out);
  out.clear();
}

// Output written in place, in a buffer of its own, and sent out a large piece at a time: the
// JSON of a large file is tens of megabytes in millions of small pieces.
class OutBuffer {
 public:
  OutBuffer() : capacity_(2 * kOutputPiece), buffer_(new char[capacity_]), end_(buffer_.get()) {}
  OutBuffer(const OutBuffer&) = delete;
  OutBuffer& operator=(const OutBuffer&) = delete;

  // Where to write at most `bytes` bytes; Done with the end of what was written.
  char* Room(std::size_t bytes) {
    if (Used() + bytes > capacity_) {
      Flush();
      if (bytes > capacity_) {
        capacity_ = bytes;
        buffer_.reset(new char[capacity_]);
        end_ = buffer_.get();
      }
    }
    return end_;
  }
  void Done(char* end) {
    end_ = end;
    if (Used() >= kOutputPiece) Flush();
  }
  void Flush() {
    if (Used() > 0) platform::WriteOut(std::string_view(buffer_.get(), Used()));
    end_ = buffer_.get();
  }

 private:
  std::size_t Used() const { return static_cast<std::size_t>(end_ - buffer_.get()); }

  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  char* end_;
};

void PrintJson(const std::string& path, const TBGL& bgl) {
  std::string head = "{\"file\": " + JsonString(path);
  // A name that is not UTF-8 has no exact JSON text: its bytes come beside it.
  if (!IsUtf8(path)) head += ", \"file_bytes\": \"" + HexBytes(path) + "\"";
  head += ", \"airports\": [";
  OutBuffer out;
  out.Done(std::copy(head.begin(), head.end(), out.Room(head.size())));
  bool firstAirport = true;
  for (const TAirport1Rec* airport : bgl.Airports()) {
    const std::string icao = airport->Icao();
    char* p =
        out.Room(kAirportRoom + JsonStringRoom(airport->Name.size()) + JsonStringRoom(icao.size()));
    p = firstAirport ? Put(p, "\n  {\"name\": ") : Put(p, ",\n  {\"name\": ");
    firstAirport = false;
    p = WriteJsonString(p, airport->Name);
    p = Put(p, ", \"icao\": ");
    out.Done(WriteJsonString(p, icao));
    const std::span<const TElevation> entries = airport->Elevations;
    WriteAirportJson(
        out, airport->Latitude(), airport->Longitude(), entries[0].SignedAltitude(),
        entries[0].Offset,
        [&](auto&& write) {
          for (const TElevation& e : entries.subspan(1))
            write(e.Caption, e.SignedAltitude(), e.Offset);
        },
        ElementLines::kOwn);
  }
  char* p = out.Room(8);
  out.Done(firstAirport ? Put(p, "]}\n") : Put(p, "\n]}\n"));
  out.Flush();
}

int List(const std::string& path, bool json) {
  if (!platform::FileExists(path)) return NoSuchFile(path);
  const TBGL bgl(path, Desktop());
  if (json) PrintJson(path, bgl);
  if (bgl.AirportCount() < 1) {
    Report(Tr("Ce fichier ne contient pas d'aéroports."));
    return kNothing;
  }
  if (json) return kDone;
  TreeLineWriter writer(CurrentNumberSymbols());
  OutBuffer out;
  AirportLines::ForEach(bgl, [&](const TElevation& entry, bool airport) {
    const std::string_view line = writer.Line(entry);
    char* p = out.Room(TerminalTextRoom(line.size()) + 4);
    if (!airport) p = Put(p, "   ");
    // A name or a caption read from the file must not drive the terminal.
    p = WriteTerminalText(p, line);
    *p++ = '\n';
    out.Done(p);
  });
  out.Flush();
  return kDone;
}

bool CheckFolder(const std::string& folder) {
  if (platform::FolderExists(folder)) return true;
  Report(Tr("Je ne trouve pas le dossier %1.", {QuotedPath(folder)}));
  return false;
}

int Files(const std::string& folder) {
  if (!CheckFolder(folder)) return kFileError;
  const std::vector<std::string> names = FolderListing(folder).All();
  std::string out;
  for (const std::string& name : names) {
    // Its bytes as they are, but for the control characters a name may hold.
    out += TerminalText(name);
    out += '\n';
    WriteIfFull(out);
  }
  platform::WriteOut(out);
  if (names.empty()) {
    Report(Tr("Ce dossier ne contient aucun fichier BGL que je sache lire."));
    return kNothing;
  }
  return kDone;
}

int Find(const std::string& folder, const std::string& name, bool json) {
  if (!CheckFolder(folder)) return kFileError;
  AirportSearch search(folder, FolderListing(folder).All(), name);
  // A damaged file stops the search: the files found before it are no answer, since those
  // after it were not examined.
  search.All();
  const std::vector<std::string>& found = search.Kept();
  if (json) {
    std::string out = "{\"folder\": " + JsonString(folder);
    if (!IsUtf8(folder)) out += ", \"folder_bytes\": \"" + HexBytes(folder) + "\"";
    out += ", \"name\": " + JsonString(name) + ", \"files\": [";
    for (std::size_t i = 0; i < found.size(); ++i) {
      out += (i == 0 ? "" : ", ") + JsonString(found[i]);
    }
    platform::WriteOut(out + "]}\n");
  } else {
    std::string out;
    for (const std::string& file : found) out += TerminalText(file) + '\n';
    platform::WriteOut(out);
  }
  if (found.empty()) {
    Report(Tr("Aucun fichier de ce dossier ne définit d'aéroport nommé « %1 ».", {name}));
    return kNothing;
  }
  return kDone;
}

}  // namespace

int ListCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--json"}, problem, Unknown::kAnywhere);
  if (!o) return Usage(problem);
  if (o->words.size() != 1) return Usage(Tr("list attend un seul FICHIER."));
  return List(o->words[0], o->json);
}

int FilesCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage(Tr("files attend un seul DOSSIER."));
  return Files(args[0]);
}

int FindCommand(const std::vector<std::string>& args) {
  std::string problem;
  const auto o = ParseOptions(args, {"--json"}, problem, Unknown::kAnywhere);
  if (!o) return Usage(problem);
  if (o->words.size() != 2) return Usage(Tr("find attend un DOSSIER et un NOM d'aéroport."));
  return Find(o->words[0], o->words[1], o->json);
}

}  // namespace qor::cli
