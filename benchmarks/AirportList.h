#pragma once
// The reference list the benchmarks read: a file in the layout of OurAirports' airports.csv, as
// large as the real one, and the reading and matching of it that the library page and
// `--reference` do.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qor::bench {

struct AirportList {
  std::string file;
  std::uint64_t size = 0;
  int rows = 0;
  int withElevation = 0;  // the rows the reader keeps
  // Where each airport kept is defined in the library: its ident, a few hundred metres from
  // the list's position.
  struct Definition {
    std::string ident;
    double latitude = 0;
    double longitude = 0;
  };
  std::vector<Definition> definitions;
  // A simulator's folder whose library defines no airport: `where IDENT --reference FILE --fs`
  // there is the reading of the list in a process of its own, and little else.
  std::string emptyLibrary;
};

// Writes folder/airports.csv, 80,000 rows at scale 1.0 (fewer with the scale), and the empty
// library beside it.
AirportList MakeAirportList(const std::string& folder, double scale);

// ReadReference of the whole file: read, told apart, every row taken, indexed.
void ReadAirportList(benchmark::State& state, const AirportList& list);
// One Match per airport of the list, the list read beforehand.
void MatchEveryIdent(benchmark::State& state, const AirportList& list);

}  // namespace qor::bench
