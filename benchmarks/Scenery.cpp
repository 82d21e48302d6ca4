#include "benchmarks/Scenery.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>

#include "tests/support/BglBuilder.h"

namespace qor::bench {

namespace {

namespace fs = std::filesystem;
using test::BglBuilder;
using test::Bytes;

constexpr int kLargeAirports = 20'000;
constexpr int kMixedNewFormat = 2'000;
constexpr int kMixedOther = 200;
constexpr int kSearchFiles = 500;
constexpr int kAirportsPerSearchFile = 200;
constexpr int kCountryAirports = 60'000;
// The library, as large as the simulator's own: 2,000 files in 40 areas, the first file of each
// area holding airports (25,000 in all), the others scenery of other kinds, 16 to 256 KiB.
constexpr int kLibraryAreas = 40;
constexpr int kLibraryFilesPerArea = 50;
constexpr int kLibraryAirports = 25'000;
// The writes: a regional file as `set` changes it, and as many definitions of one airport as a
// heavy user of add-ons gathers, one file each, ten files to an area.
constexpr int kSetFileAirports = 200;
constexpr int kAlignFiles = 100;
constexpr int kAlignFilesPerArea = 10;

// A four-letter ident for airport number n of a library of `idents` different ones.
std::string Ident(int n, int idents) {
  std::string ident = "AAAA";
  n %= idents;
  for (int i = 3; i >= 0; --i, n /= 26) {
    ident[static_cast<std::size_t>(i)] = static_cast<char>('A' + n % 26);
  }
  return ident;
}

int Scaled(int count, double scale) {
  return std::max(2, static_cast<int>(count * scale));
}

// Place names in the manner of a regional scenery: accents, hyphens, prefixes, so that the
// sort has real work.
class Names {
 public:
  explicit Names(unsigned seed) : random_(seed) {}
  std::string Next() {
    static constexpr std::array<const char*, 8> kPrefix = {
        "", "Aérodrome de ", "Saint-", "Le ", "Base de ", "Aéroport d'", "Èze ", "Île-"};
    static constexpr std::array<const char*, 16> kSyllable = {
        "bar", "cé",  "lon", "mau", "ri",  "ac",  "vil", "lé",
        "tou", "sus", "noë", "ble", "pon", "toi", "chà", "ven"};
    std::string name = kPrefix[Pick(kPrefix.size())];
    const int syllables = 2 + static_cast<int>(Pick(3));
    for (int i = 0; i < syllables; ++i) name += kSyllable[Pick(kSyllable.size())];
    name[0] = name[0] >= 'a' && name[0] <= 'z' ? static_cast<char>(name[0] - 32) : name[0];
    return name + " " + std::to_string(Pick(1000));
  }
  unsigned Pick(std::size_t n) { return static_cast<unsigned>(random_() % n); }

 private:
  std::mt19937 random_;
};

// An airport as regional sceneries have them: four runways, four starts, two COM frequencies
// and a taxiway network.
void AddAirport(test::SubSection& sub, Names& names, const std::string& name, int taxiwayPoints) {
  auto& ap = sub.AddAirport().Name(name).Elevation(static_cast<std::int64_t>(names.Pick(900'000)));
  for (int r = 0; r < 4; ++r) {
    const auto number = static_cast<std::uint8_t>(1 + names.Pick(36));
    ap.Runway(number, static_cast<std::uint8_t>(names.Pick(4)), names.Pick(900'000));
    ap.Start(number, static_cast<std::uint8_t>(names.Pick(4)), names.Pick(900'000));
  }
  ap.Com(1, 118'500'000, "TOUR").Com(3, 121'800'000, "SOL");
  ap.TaxiwayPoints(static_cast<std::uint16_t>(taxiwayPoints));
}

// Set when the files of an earlier run with the same scale are used again.
bool reusing = false;

void Write(const std::string& path, const Bytes& bytes) {
  if (!reusing) test::WriteFile(path, bytes);
}

// A file of n airports split over subsections as a compiler splits them.
Bytes RegionalFile(Names& names, int airports, int taxiwayPoints,
                   const std::string& lastName = "") {
  if (reusing) return {};
  BglBuilder b;
  auto& section = b.AddSection(3);
  constexpr int kPerSubSection = 500;
  test::SubSection* sub = nullptr;
  for (int i = 0; i < airports; ++i) {
    if (i % kPerSubSection == 0) sub = &section.AddSubSection(static_cast<std::uint32_t>(i));
    const bool last = i == airports - 1 && !lastName.empty();
    AddAirport(*sub, names, last ? lastName : names.Next(), taxiwayPoints);
  }
  b.AddSection(39).AddSubSection().Data({1, 0, 0, 0});
  return b.Build();
}

}  // namespace

Scenery MakeScenery(const std::string& folder, double scale, bool reuse) {
  Scenery s;
  Names names(2004);
  const std::string made = folder + "/made-at-scale-" + std::to_string(scale);
  reusing = reuse && fs::exists(made);
  if (!reusing) fs::remove_all(folder);
  fs::create_directories(folder);

  s.largeFile = folder + "/AP_Region.bgl";
  s.largeFileAirports = Scaled(kLargeAirports, scale);
  const Bytes large = RegionalFile(names, s.largeFileAirports, 60);
  Write(s.largeFile, large);
  s.largeFileSize = fs::file_size(s.largeFile);
  s.largeFileLines = s.largeFileAirports * 9;

  s.mixedFolder = folder + "/mixed";
  fs::create_directories(s.mixedFolder);
  const int newFormat = Scaled(kMixedNewFormat, scale);
  for (int i = 0; i < newFormat; ++i) {
    const std::string name = "AP_" + std::to_string(100000 + i) + (i % 7 == 0 ? ".BGL" : ".bgl");
    Write(s.mixedFolder + "/" + name, RegionalFile(names, 1 + i % 3, 8));
    s.mixedNames.push_back(name);
  }
  const int others = Scaled(kMixedOther, scale);
  for (int i = 0; i < others; ++i) {
    const std::string name = "OBJ_" + std::to_string(100000 + i) + ".bgl";
    Bytes bytes;
    switch (i % 4) {
      case 0:  // the older simulator's format
        bytes = BglBuilder().HeaderWord(0x0001).Build();
        break;
      case 1:  // a scenery object library of another layout
        bytes.assign(4096, 0x5A);
        bytes[0] = 0x19;
        bytes[1] = 0x92;
        break;
      case 2:  // cut short
        bytes = {0x01};
        break;
      default:  // empty
        break;
    }
    Write(s.mixedFolder + "/" + name, bytes);
    s.mixedNames.push_back(name);
  }
  // Texture and readme files that the listing passes over.
  for (int i = 0; i < others / 4; ++i) {
    Write(s.mixedFolder + "/texture_" + std::to_string(i) + ".bmp", Bytes(64, 0));
  }

  s.searchFolder = folder + "/search";
  fs::create_directories(s.searchFolder);
  s.soughtName = "Zone Cherchée Ici";
  const int files = Scaled(kSearchFiles, scale);
  const int perFile = Scaled(kAirportsPerSearchFile, scale);
  for (int i = 0; i < files; ++i) {
    const std::string name = "AP_" + std::to_string(10000 + i) + ".bgl";
    const bool last = i == files - 1;
    Write(s.searchFolder + "/" + name, RegionalFile(names, perFile, 60, last ? s.soughtName : ""));
    s.searchNames.push_back(name);
  }
  s.countryFile = folder + "/AP_Country.bgl";
  s.countryFileAirports = Scaled(kCountryAirports, scale);
  Write(s.countryFile, RegionalFile(names, s.countryFileAirports, 16));
  s.countryFileSize = fs::file_size(s.countryFile);

  // The library: scenery.cfg and the areas' files.
  s.libraryFolder = folder + "/fs2004";
  const int areas = std::max(2, static_cast<int>(kLibraryAreas * std::min(1.0, scale * 4)));
  const int perArea = Scaled(kLibraryFilesPerArea, scale);
  const int airportsPerFile = std::max(2, Scaled(kLibraryAirports, scale) / areas);
  // Idents repeat after four fifths of the airports: the last areas define again airports of
  // the first ones, at other elevations, as add-ons do.
  const int idents = std::max(1, areas * airportsPerFile * 4 / 5);
  s.libraryIdent = Ident(7, idents);
  std::string cfg = "[General]\r\nTitle=FS9 World Scenery\r\n\r\n";
  int airport = 0;
  for (int a = 0; a < areas; ++a) {
    const std::string number = std::to_string(1000 + a).substr(1);
    const std::string local = "Scenery/Zone " + number;
    cfg += "[Area." + number + "]\r\nTitle=Zone " + number + "\r\nLocal=Scenery\\Zone " + number +
           "\r\nActive=TRUE\r\nRequired=FALSE\r\nLayer=" + std::to_string(a + 1) + "\r\n\r\n";
    const std::string scenery = s.libraryFolder + "/" + local + "/scenery";
    fs::create_directories(scenery);
    for (int f = 0; f < perArea; ++f) {
      const std::string path = scenery + "/" + (f == 0 ? "AP_" : "OBJ_") + number + "_" +
                               std::to_string(100 + f) + ".bgl";
      s.libraryFiles.push_back(path);
      if (reusing) continue;
      BglBuilder b;
      if (f == 0) {
        auto& section = b.AddSection(3);
        test::SubSection* sub = nullptr;
        for (int i = 0; i < airportsPerFile; ++i, ++airport) {
          if (i % 500 == 0) sub = &section.AddSubSection(static_cast<std::uint32_t>(i));
          AddAirport(*sub, names, names.Next(), 16);
          sub->airports.back().Icao(Ident(airport, idents));
        }
        b.AddSection(39).AddSubSection().Data({1, 0, 0, 0});
      } else {
        // Objects and terrain in a few sections of a few subsections each.
        const std::size_t size = 16 * 1024 + names.Pick(240 * 1024);
        for (int k = 0; k < 3; ++k) {
          auto& section = b.AddSection(static_cast<std::uint32_t>(19 + k));
          for (int j = 0; j < 4; ++j) section.AddSubSection().Data(Bytes(size / 12, 0x5A));
        }
      }
      test::WriteFile(path, b.Build());
    }
  }
  if (!reusing) {
    const std::string bytes = test::Utf8ToCp1252(cfg);
    test::WriteFile(s.libraryFolder + "/scenery.cfg", Bytes(bytes.begin(), bytes.end()));
  }
  for (const std::string& path : s.libraryFiles) s.libraryBytes += fs::file_size(path);

  test::WriteFile(made, {});
  return s;
}

WriteScenery MakeWriteScenery(const std::string& folder, double scale) {
  WriteScenery w;
  Names names(1492);
  fs::remove_all(folder);
  fs::create_directories(folder);

  w.setFile = folder + "/AP_Set.bgl";
  {
    BglBuilder b;
    auto& section = b.AddSection(3);
    auto& sub = section.AddSubSection();
    const int airports = Scaled(kSetFileAirports, scale);
    for (int i = 0; i < airports; ++i) AddAirport(sub, names, names.Next(), 60);
    b.AddSection(39).AddSubSection().Data({1, 0, 0, 0});
    test::WriteFile(w.setFile, b.Build());
    w.setOffset = sub.airports[static_cast<std::size_t>(airports / 2)].elevationOffset;
  }
  w.setFileSize = fs::file_size(w.setFile);

  // Every file defines the airport, each at its own elevation as add-ons do, with one runway,
  // one start and the taxiways and parking of an add-on airport.
  w.alignFolder = folder + "/fs2004";
  w.alignIdent = "QBEN";
  const int files = Scaled(kAlignFiles, scale);
  std::string cfg = "[General]\r\nTitle=FS9 World Scenery\r\n\r\n";
  for (int f = 0; f < files; ++f) {
    const std::string area = std::to_string(1000 + f / kAlignFilesPerArea).substr(1);
    if (f % kAlignFilesPerArea == 0) {
      cfg += "[Area." + area + "]\r\nTitle=Add-on " + area + "\r\nLocal=Addon Scenery\\Add-on " +
             area + "\r\nActive=TRUE\r\nRequired=FALSE\r\nLayer=" +
             std::to_string(f / kAlignFilesPerArea + 1) + "\r\n\r\n";
    }
    const std::string scenery = w.alignFolder + "/Addon Scenery/Add-on " + area + "/scenery";
    fs::create_directories(scenery);
    BglBuilder b;
    auto& ap = b.AddSection(3).AddSubSection().AddAirport();
    ap.Name("Aérodrome de Bénévent").Icao(w.alignIdent).Elevation(200'000 + 1'000 * f);
    ap.Runway(9, 0, 200'000 + 1'000 * f).Start(9, 0, 200'000 + 1'000 * f);
    ap.Com(1, 118'500'000, "TOUR").TaxiwayPoints(60).Parking(20);
    b.AddSection(39).AddSubSection().Data({1, 0, 0, 0});
    const std::string path = scenery + "/AP_Benevent_" + std::to_string(100 + f) + ".bgl";
    test::WriteFile(path, b.Build());
    w.alignFiles.push_back(path);
    w.alignOffset = ap.elevationOffset;
  }
  const std::string bytes = test::Utf8ToCp1252(cfg);
  test::WriteFile(w.alignFolder + "/scenery.cfg", Bytes(bytes.begin(), bytes.end()));
  return w;
}

}  // namespace qor::bench
