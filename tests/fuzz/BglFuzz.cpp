// The fuzz target of the BGL parser: any bytes, opened as a BGL file, listed and searched; and
// the same bytes read as a journal of changes. A damaged-file error is the expected answer to
// most inputs; a crash, a leak, a hang, a huge allocation or a broken promise of the listing or
// of the journal (checked below) is a finding.
//
// Built with -fsanitize=fuzzer it is driven by libFuzzer (scripts/fuzz.sh); linked with
// ReplayMain.cpp it is a replayer of saved inputs.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "bgl/Bgl.h"
#include "bgl/PlainTree.h"
#include "library/Journal.h"
#include "library/Recovery.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "util/Checksum.h"
#include "workflow/AirportLines.h"

namespace {

// The one file every input is written to, in a private temporary folder that also stands in
// for the desktop, so that nothing under the home folder is ever looked at.
class Scratch {
 public:
  Scratch() {
    std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("qorbgl-fuzz-" + std::to_string(random()));
      std::error_code ec;
      if (std::filesystem::create_directory(candidate, ec)) folder_ = candidate.string();
    }
    if (folder_.empty()) {
      std::perror("no scratch folder");
      std::abort();
    }
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::string File() const { return folder_ + qor::platform::kPathDelimiter + "input.bgl"; }
  std::string Desktop() const { return folder_ + qor::platform::kPathDelimiter; }

 private:
  std::string folder_;
};

// A promise of the listing that does not hold: stop here, so that the fuzzer keeps the input.
void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "qorbgl fuzz: %s\n", what);
  std::abort();
}

void Exercise(const std::string& path, const std::string& desktop, std::string_view wanted,
              std::uint64_t size) {
  const qor::TBGL bgl(path, desktop);
  qor::PlainTree tree;
  bgl.FillTree(tree);
  const auto airports = bgl.Airports();
  Require(static_cast<std::size_t>(bgl.AirportCount()) == airports.size(),
          "AirportCount differs from Airports()");
  Require(tree.TopLevel().size() == airports.size(), "one tree node per airport");
  std::size_t elements = 0;
  for (const qor::TAirport1Rec* airport : airports) {
    Require(!airport->Elevations.empty(), "an airport without its own elevation entry");
    for (const qor::TElevation& entry : airport->Elevations) {
      // The rewrite trusts these offsets: a 4-byte field that lies inside the file.
      Require(std::uint64_t{entry.Offset} + 4 <= size, "an elevation field outside the file");
    }
    elements += airport->Elevations.size();
    Require(bgl.FindAirport(airport->Name), "an airport not found by its own name");
  }
  Require(tree.Lines().size() == elements, "one tree line per elevation");
  bgl.FindAirport(wanted);

  // The window's lines, sorted by key prefixes and label letters, come in the plain tree's
  // order, sorted by whole comparisons: whatever the names hold.
  qor::AirportLines lines;
  lines.Fill(bgl);
  const auto plain = tree.Lines();
  Require(lines.Size() == plain.size(), "the window's lines are not the plain tree's");
  for (std::size_t i = 0; i < plain.size(); ++i) {
    Require(lines.Text(i) == plain[i].item->text && lines.Offset(i) == plain[i].item->data,
            "the window's lines are not in the plain tree's order");
  }

  // A library scan reads only the airports, sparsely: it must find the same ones.
  const qor::TBGL scan(path, desktop, qor::TBGL::Scope::Airports);
  const auto scanned = scan.Airports();
  Require(scanned.size() == airports.size(), "a scan finds other airports than the whole read");
  for (std::size_t i = 0; i < airports.size(); ++i) {
    Require(scanned[i]->Name == airports[i]->Name && scanned[i]->Icao() == airports[i]->Icao(),
            "a scan reads another name or ident");
    Require(scanned[i]->Elevations.size() == airports[i]->Elevations.size(),
            "a scan reads other elevations");
    for (std::size_t e = 0; e < airports[i]->Elevations.size(); ++e) {
      Require(scanned[i]->Elevations[e].Offset == airports[i]->Elevations[e].Offset &&
                  scanned[i]->Elevations[e].Altitude == airports[i]->Elevations[e].Altitude,
              "a scan reads another elevation field");
    }
  }
}

// The bytes as a journal: whatever they hold, the reader passes over what it cannot prove
// whole, what it reads writes back to the same records, and recovery puts old bytes back only
// where a field provably holds the change's new ones.
void ExerciseJournal(std::string_view bytes) {
  using qor::library::Journal;
  const qor::library::JournalContents contents = Journal::Parse(bytes);
  for (const qor::library::JournalChange& change : contents.changes) {
    // Written again, a change read reads back the same.
    const std::string record = Journal::BeginRecord(change.id, change.timeMs, change.record);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x ", static_cast<unsigned>(qor::Crc32(record)));
    const qor::library::JournalContents again = Journal::Parse(crc + record + "\n");
    Require(again.changes.size() == 1 &&
                Journal::BeginRecord(again.changes[0].id, again.changes[0].timeMs,
                                     again.changes[0].record) == record,
            "a change read from the journal does not read back the same once written again");
    for (const qor::FileEdit& file : change.record.files) {
      for (const qor::FieldEdit& field : file.fields) {
        Require(field.width == 1 || field.width == 2 || field.width == 4,
                "a field of a width no change writes");
        // The field as the input itself holds it there, if it does.
        std::optional<std::array<std::uint8_t, 4>> now;
        if (std::uint64_t{field.offset} + field.width <= bytes.size()) {
          std::array<std::uint8_t, 4> held{};
          std::copy_n(bytes.data() + field.offset, field.width, held.begin());
          now = held;
        }
        if (qor::library::DecideField(field, now) == qor::library::FieldAction::PutBack) {
          Require(now && std::equal(field.after.begin(), field.after.begin() + field.width,
                                    now->begin()),
                  "recovery puts back a field that does not hold the change's new bytes");
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  const std::string path = scratch.File();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
      std::perror(path.c_str());
      std::abort();
    }
  }
  // The last bytes of the input, up to 16, are the name searched for besides the names listed.
  const std::size_t tail = size < 16 ? size : 16;
  const std::string_view wanted(reinterpret_cast<const char*>(data) + size - tail, tail);
  ExerciseJournal(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    Exercise(path, scratch.Desktop(), wanted, size);
  } catch (const qor::Exception&) {
    // A damaged or foreign file: the library said so, which is what it must do.
  }
  return 0;
}
