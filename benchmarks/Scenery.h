#pragma once
// The scenery the benchmarks work on, made by the project's BGL builder: one large regional file,
// a folder of many small files of mixed formats, a folder of many medium files, a country's
// file of many airports with small taxiway networks, a simulator's scenery library, and the
// files the writing commands change.

#include <cstdint>
#include <string>
#include <vector>

namespace qor::bench {

struct Scenery {
  std::string largeFile;                // many airports, each with name, runways, starts, COM
  std::string mixedFolder;              // small FS2004 files among files of other formats
  std::vector<std::string> mixedNames;  // their names, for the plain loop
  std::string searchFolder;             // medium files; the sought name is in the last only
  std::vector<std::string> searchNames;
  std::string soughtName;
  std::string libraryFolder;              // a simulator's folder: scenery.cfg and its areas
  std::vector<std::string> libraryFiles;  // every BGL file of its areas
  std::string libraryIdent;               // an airport defined in two areas
  std::uint64_t libraryBytes = 0;
  std::string countryFile;  // a whole country's airports, for the whole commands
  std::uint64_t countryFileSize = 0;
  int countryFileAirports = 0;
  std::uint64_t largeFileSize = 0;
  int largeFileAirports = 0;
  int largeFileLines = 0;
};

// What the writing commands change: one regional file for `set`, and a library whose every file
// defines the same airport for `align`.
struct WriteScenery {
  std::string setFile;          // a regional file of 200 airports
  std::uint32_t setOffset = 0;  // the elevation field of one of its airports
  std::uint64_t setFileSize = 0;
  std::string alignFolder;  // a simulator's folder: scenery.cfg and its areas
  std::string alignIdent;   // the airport every file defines, with a runway and a start
  std::vector<std::string> alignFiles;
  std::uint32_t alignOffset = 0;  // the airport's elevation field, the same in every file
};

// Counts scale with `scale` (1.0 gives the full sizes); everything lands under folder. With
// reuse, the files an earlier run made there at the same scale are taken as they are.
Scenery MakeScenery(const std::string& folder, double scale, bool reuse);
// Always made afresh (the runs change these files); `scale` as above.
WriteScenery MakeWriteScenery(const std::string& folder, double scale);

}  // namespace qor::bench
