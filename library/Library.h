#pragma once
// The airports of the simulator's scenery library: every definition of every area, in the
// order the simulator loads them, where one airport is defined, and the airports whose
// definitions disagree on their elevation.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/Reference.h"
#include "library/SceneryConfig.h"
#include "platform/File.h"

namespace qor::library {

struct Element {  // a runway or a start
  std::string caption;
  std::int32_t elevationMm = 0;
  std::uint32_t offset = 0;
};

// One airport record of one file.
struct Definition {
  std::size_t area = 0;  // index into SceneryConfig::areas
  std::string file;      // path
  std::string name;      // UTF-8
  std::string icao;      // "" when blank
  double latitude = 0;
  double longitude = 0;
  std::int32_t elevationMm = 0;
  std::uint32_t offset = 0;  // of the airport's elevation field
  std::vector<Element> elements;
};

// A file or an area folder that could not be read, with the message saying why.
struct Problem {
  std::string path;
  std::string message;
  std::size_t area = 0;  // index into SceneryConfig::areas
};

struct Library {
  SceneryConfig config;
  std::vector<std::size_t> files;       // BGL files an area holds, by area
  std::vector<Definition> definitions;  // in load order (area, listing, file order)
  std::vector<Problem> problems;
  // The stamp of each file as it was read, for a later check that it is still the same.
  std::vector<std::pair<std::string, platform::File::Stamp>> stamps;

  const Area& AreaOf(const Definition& d) const { return config.areas[d.area]; }
};

// The problems of active areas: while one is there, no one can say that the active
// definitions of an airport agree, since the file that could not be read may hold one.
std::size_t ActiveProblems(const Library& library);
// The sentence that says so: "2 fichiers ou dossiers des zones actives n'ont pas pu être lus".
std::string ActiveProblemsText(std::size_t problems);

// Reads the airports of every area (the inactive ones too, which `where` lists), each file of
// an area's "scenery" folder in listing order, only its airports; with `only`, only the
// definitions of the airport it names (NamesAirport). A file or folder that cannot be read goes to
// problems and the scan goes on; files of the older format (header $0001) hold no airports
// this program reads and are passed over, any other header is a damaged file. The scan goes
// a step at a time, as a window's long work does.
class LibraryScan {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LibraryScan(SceneryConfig config, std::string only = {});
  // Reads files until the time comes or every file is read. True when all are.
  bool Step(Clock::time_point until);
  std::size_t Done() const { return done_; }
  std::size_t Total() const { return paths_.size(); }
  // The library as read so far.
  const Library& Result() const { return library_; }
  Library Take() { return std::move(library_); }

 private:
  Library library_;
  std::string only_;
  std::vector<std::pair<std::size_t, std::string>> paths_;  // area and file, in load order
  std::size_t done_ = 0;
};

// The whole scan at once.
Library ScanLibrary(SceneryConfig config, std::string only = {});

// Every definition of the airport text names (NamesAirport: its ident or its name), in load
// order.
std::vector<const Definition*> Where(const Library& library, std::string_view text);
// The definition the simulator shows: the last active one; null when none is active.
const Definition* Shown(const Library& library, const std::vector<const Definition*>& found);
// Whether the active ones among found have one elevation (within toleranceMm).
bool Agree(const Library& library, const std::vector<const Definition*>& found,
           std::int32_t toleranceMm = 0);

// Airports with active definitions whose elevations differ by more than minDiffMm, in the
// order of their first definition; with a reference, also those whose shown definition differs
// from its reference row (DiffersFromReference). An airport is known by its ident, or by its
// name when it has none.
struct Conflict {
  std::string icao;
  std::string name;
  std::vector<const Definition*> definitions;  // the active ones, in load order
  std::int32_t spreadMm = 0;                   // highest minus lowest
  bool definitionsDiffer = false;              // the active definitions disagree
  bool referenceDiffers = false;               // the shown one differs from the reference
  ReferenceMatch reference;                    // the shown one's row, with a reference
};
std::vector<Conflict> Conflicts(const Library& library, std::int32_t minDiffMm,
                                const Reference* reference = nullptr);

// The reference row of a definition.
inline ReferenceMatch MatchDefinition(const Reference& reference, const Definition& d) {
  return Match(reference, d.icao, d.latitude, d.longitude);
}

}  // namespace qor::library
