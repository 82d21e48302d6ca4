#include "benchmarks/AirportList.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "library/Reference.h"

namespace qor::bench {

namespace {

constexpr int kRows = 80'000;  // OurAirports' list holds about as many

constexpr const char* kHeader =
    "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\",\"elevation_ft\","
    "\"continent\",\"iso_country\",\"iso_region\",\"municipality\",\"scheduled_service\","
    "\"gps_code\",\"iata_code\",\"local_code\",\"home_link\",\"wikipedia_link\",\"keywords\"\n";

class Rows {
 public:
  explicit Rows(unsigned seed) : random_(seed) {}

  unsigned Pick(unsigned n) { return static_cast<unsigned>(random_() % n); }
  bool Chance(unsigned percent) { return Pick(100) < percent; }
  double Uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random_);
  }

  std::string Letters(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('A' + Pick(26));
    return text;
  }

  // A place name with the commas and quotes real names have now and then.
  std::string Name() {
    static constexpr std::array<const char*, 12> kSyllable = {
        "Bar", "cé", "lon", "mau", "ri", "vil", "lé", "tou", "sus", "noë", "pon", "ven"};
    std::string name;
    const unsigned syllables = 2 + Pick(3);
    for (unsigned i = 0; i < syllables; ++i) name += kSyllable[Pick(kSyllable.size())];
    static constexpr std::array<const char*, 4> kKind = {" Airport", " Airfield", " Heliport",
                                                         " Airstrip"};
    name += kKind[Pick(kKind.size())];
    if (Chance(8)) name += ", piste nord";
    if (Chance(4)) name = "Aérodrome \"" + name + "\"";
    return name;
  }

 private:
  std::mt19937 random_;
};

// A field as OurAirports writes a text: in quotes, a quote inside doubled.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string Number(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

// An ident unique to row n, in the manners of the list: ICAO idents, local codes of the United
// States, and the list's own codes for places without either.
std::string Ident(int n, Rows& rows) {
  std::string tail;
  for (int i = 0, v = n; i < 3; ++i, v /= 26)
    tail.insert(tail.begin(), static_cast<char>('A' + v % 26));
  switch (n % 4) {
    case 0:
    case 1:
      return std::string(1, "LEKY"[n / 17576 % 4]) + tail;
    case 2:
      return std::to_string(n % 100 / 10) + std::to_string(n % 10) + tail.substr(1) +
             std::string(1, static_cast<char>('0' + rows.Pick(10)));
    default:
      return "FR-" + std::to_string(10000 + n);
  }
}

}  // namespace

AirportList MakeAirportList(const std::string& folder, double scale) {
  namespace fs = std::filesystem;
  fs::create_directories(folder);
  AirportList list;
  list.file = (fs::path(folder) / "airports.csv").string();
  list.rows = std::max(20, static_cast<int>(kRows * scale));
  Rows rows(1979);
  static constexpr std::array<const char*, 6> kType = {
      "small_airport", "heliport", "closed", "seaplane_base", "medium_airport", "large_airport"};
  std::string text = kHeader;
  for (int n = 0; n < list.rows; ++n) {
    const std::string ident = Ident(n, rows);
    const double latitude = rows.Uniform(-60, 75);
    const double longitude = rows.Uniform(-180, 180);
    const bool elevation = !rows.Chance(10);
    std::string gps;
    if (rows.Chance(60)) {
      gps = ident;
    } else if (rows.Chance(40)) {
      gps = "K" + rows.Letters(3);
    }
    text += std::to_string(300000 + n) + "," + Quoted(ident) + "," +
            Quoted(kType[rows.Pick(kType.size())]) + "," + Quoted(rows.Name()) + "," +
            Number(latitude) + "," + Number(longitude) + "," +
            (elevation ? std::to_string(static_cast<int>(rows.Pick(12000)) - 50) : "") + "," +
            Quoted("EU") + "," + Quoted("FR") + "," + Quoted("FR-ARA") + "," +
            Quoted(rows.Chance(5) ? "Saint-Bon, Courchevel" : "Villeneuve") + "," +
            Quoted(rows.Chance(10) ? "yes" : "no") + "," + Quoted(gps) + "," +
            Quoted(rows.Chance(10) ? rows.Letters(3) : "") + "," +
            Quoted(rows.Chance(30) ? ident : "") + "," +
            Quoted(rows.Chance(5) ? "https://www.aeroclub-" + std::to_string(n) + ".fr/" : "") +
            "," +
            Quoted(rows.Chance(15) ? "https://fr.wikipedia.org/wiki/A%C3%A9rodrome_" + ident : "") +
            "," + Quoted(rows.Chance(10) ? "Altiport, " + ident + ", Alpes" : "") + "\n";
    if (elevation) {
      ++list.withElevation;
      list.definitions.push_back({ident, latitude + 0.003, longitude});
    }
  }
  std::ofstream(list.file, std::ios::binary | std::ios::trunc) << text;
  list.size = fs::file_size(list.file);

  list.emptyLibrary = (fs::path(folder) / "fs2004").string();
  fs::create_directories(fs::path(list.emptyLibrary) / "Scenery" / "Vide" / "scenery");
  std::ofstream(fs::path(list.emptyLibrary) / "scenery.cfg", std::ios::binary | std::ios::trunc)
      << "[General]\r\nTitle=FS9 World Scenery\r\n\r\n[Area.001]\r\nTitle=Vide\r\n"
         "Local=Scenery\\Vide\r\nActive=TRUE\r\nRequired=FALSE\r\nLayer=1\r\n";
  return list;
}

void ReadAirportList(benchmark::State& state, const AirportList& list) {
  for (auto _ : state) {
    auto reference = std::make_unique<library::Reference>(library::ReadReference(list.file));
    if (reference->airports.size() != static_cast<std::size_t>(list.withElevation)) {
      return state.SkipWithError("the list's airports are not all read");
    }
    benchmark::DoNotOptimize(reference->index.data());
    // Letting go of the rows is not the reading's cost.
    state.PauseTiming();
    reference.reset();
    state.ResumeTiming();
  }
}

void MatchEveryIdent(benchmark::State& state, const AirportList& list) {
  const library::Reference reference = library::ReadReference(list.file);
  for (auto _ : state) {
    std::size_t found = 0;
    for (const AirportList::Definition& d : list.definitions) {
      found += library::Match(reference, d.ident, d.latitude, d.longitude).airport ? 1 : 0;
    }
    if (found != list.definitions.size()) return state.SkipWithError("an airport not matched");
  }
}

}  // namespace qor::bench
