#pragma once
// Real-world reference elevations: the open airport lists that scenery builders download once,
// OurAirports' airports.csv and OpenFlights' airports.dat, told apart by their content, and the
// row that matches a definition of the library (its ICAO ident, letter case aside, within
// 10 km of the definition's reference point).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"
#include "text/Csv.h"

namespace qor::library {

enum class ReferenceFormat { kOurAirports, kOpenFlights };

// "ourairports" or "openflights", as the command line's JSON says it.
std::string_view FormatKey(ReferenceFormat format);
// "OurAirports" or "OpenFlights", as a user reads it.
std::string_view FormatName(ReferenceFormat format);

// One airport of the file that gives an elevation.
struct ReferenceAirport {
  std::string ident;    // the ICAO ident the file gives (OurAirports' ident, OpenFlights' ICAO)
  std::string gpsCode;  // OurAirports' gps_code, when it differs from the ident
  std::string name;
  double latitude = 0;
  double longitude = 0;
  std::string feet;  // the elevation in feet, as a JSON number writes it ("-54", "6588", "12.5")
  std::int32_t elevationMm = 0;  // feet x 304.8, rounded half to even
};

struct Reference {
  std::string file;
  ReferenceFormat format = ReferenceFormat::kOurAirports;
  std::vector<ReferenceAirport> airports;  // in the file's order
  std::size_t rows = 0;                    // the rows read, header aside
  std::size_t withoutElevation = 0;        // rows that give no elevation (blank, \N)
  std::size_t malformed = 0;               // rows skipped: broken quoting, a value not a number

  // The airports by upper-case ident (gps codes after idents), for Match.
  struct Key {
    std::string ident;
    bool gpsCode = false;
    std::uint32_t airport = 0;
  };
  std::vector<Key> index;
};

// Reads a reference file a step at a time, as a window's long work does, a part of the file at a
// time (memory for one part, not the whole file). The constructor reads the file's first part
// and tells its format; it raises Exception with a French message naming the file when the file
// cannot be read or is neither of the two lists.
class ReferenceRead {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ReferenceRead(const std::string& path);
  // The same from bytes already read (file only names them in messages).
  ReferenceRead(std::string bytes, const std::string& file);
  ~ReferenceRead();
  ReferenceRead(const ReferenceRead&) = delete;
  ReferenceRead& operator=(const ReferenceRead&) = delete;

  // Reads rows until the time comes or the file is read. True when it is.
  bool Step(Clock::time_point until);
  std::uint64_t Done() const;  // bytes read
  std::uint64_t Total() const;
  // The reference, indexed: the rows read so far.
  Reference Take();

 private:
  void Start(const std::string& file);
  void ReadRow();
  // The part that follows: what rows_ left unread (a record cut by the part's end) and the
  // file's next bytes.
  void ReadOn();

  std::unique_ptr<platform::File> file_;  // none when the bytes were handed over
  std::uint64_t size_ = 0;                // of the whole input
  std::uint64_t before_ = 0;              // bytes of the input before part_
  std::string part_;                      // the bytes held now
  std::size_t start_ = 0;                 // where rows_ begins in part_
  std::optional<CsvReader> rows_;
  Reference reference_;
  // Where ident, name, latitude, longitude, elevation and gps code lie in a row (-1: absent).
  std::vector<int> columns_;
  std::vector<std::string> fields_;
  bool done_ = false;
};

// The whole file at once. Raises Exception as ReferenceRead does.
Reference ReadReference(const std::string& path);

// The matching row of a definition known by icao at a position.
inline constexpr double kMatchRadiusM = 10000;
struct ReferenceMatch {
  const ReferenceAirport* airport = nullptr;  // the nearest row of that ident within 10 km
  std::string ident;                          // the row's ident, or its gps code when by that
  double distanceM = 0;                       // from the definition to that row
  // The ident found only farther away (idents are given again over the decades): the nearest
  // such row's ident and distance.
  std::optional<std::pair<std::string, double>> rejected;
};
// Rows whose ident is icao (letter case aside) come first; rows whose gps code is icao only
// when none of those lies within 10 km. A blank icao matches nothing.
ReferenceMatch Match(const Reference& reference, std::string_view icao, double latitude,
                     double longitude);

// The distance between two points of the Earth, in metres (a sphere of mean radius).
double DistanceM(double latitude1, double longitude1, double latitude2, double longitude2);

// Whether a definition's elevation differs from the reference's: by more than minDiffMm, and by
// half a foot (152.4 mm) at least whatever minDiffMm says, since the lists give whole feet.
bool DiffersFromReference(std::int32_t definitionMm, std::int32_t referenceMm,
                          std::int32_t minDiffMm);

// Feet as a decimal text ("6588", "-54", "12.5") in millimetres, feet x 304.8 rounded half to
// even, exactly; nothing for a text that is not such a number or lies beyond 100,000 feet.
std::optional<std::int32_t> FeetToMm(std::string_view feet);

}  // namespace qor::library
