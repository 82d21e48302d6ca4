// Writes the sample scenery folder that ships with QORBgl:
//   make-sample-scenery FOLDER
// Real French and Dutch airfields with plausible elevations, laid out as FS2004 compiles them,
// plus one file of the older format that the program must leave out of its lists.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/BglBuilder.h"

using qor::test::Airport;
using qor::test::BglBuilder;
using qor::test::Bytes;

namespace {

constexpr std::uint8_t L = 1, R = 2, C = 3, kWater = 4;

// A name list record as the simulator's index of the file: a few bytes are enough here.
Bytes NameList() {
  return {0x01, 0x00, 0x4C, 0x46, 0x50, 0x4E, 0x00, 0x00};
}

void IleDeFrance(const std::string& path) {
  BglBuilder b;
  auto& west = b.AddSection(3).AddSubSection(0x0101);
  west.AddAirport()
      .Name("Toussus-le-Noble")
      .Icao("LFPN")
      .At(48.7519, 2.1061)
      .Elevation(164'000)
      .Runway(7, L, 163'500)
      .Runway(7, R, 164'200)
      .Start(7, L, 163'500)
      .Start(25, R, 162'800)
      .Com(1, 120'000'000, "TOUSSUS TOUR")
      .TaxiwayPoints(4)
      .Parking(6);
  west.AddAirport()
      .Name("Aérodrome de Chavenay-Villepreux")
      .Icao("LFPX")
      .At(48.8436, 1.9822)
      .Elevation(146'000)
      .Runway(5, 0, 145'700)
      .Start(5, 0, 145'700)
      .Start(23, 0, 146'300)
      .Com(2, 122'900'000, "CHAVENAY AUTO-INFO");
  auto& north = b.sections.back().AddSubSection(0x0102);
  north.AddAirport()
      .Name("Pontoise – Cormeilles-en-Vexin")
      .Icao("LFPT")
      .At(49.0966, 2.0408)
      .Elevation(99'060)
      .Runway(5, 0, 99'000)
      .Runway(12, 0, 98'500)
      .Start(5, 0, 99'000)
      .Start(30, 0, 98'200)
      .Parking(3)
      .Other(qor::test::subrecord::kDelete, Bytes(10, 0));
  north.AddAirport()
      .Name("Paris Charles-de-Gaulle")
      .Icao("LFPG")
      .At(49.0097, 2.5478)
      .Elevation(119'500)
      .Runway(9, L, 109'700)
      .Runway(8, L, 119'000)
      .Runway(9, R, 106'400)
      .Runway(8, R, 118'000)
      .Start(9, L, 109'700)
      .Start(27, R, 106'400)
      .Com(1, 118'650'000, "DE GAULLE TOUR")
      .TaxiwayPoints(8)
      .Parking(12);
  b.AddSection(39).AddSubSection().Data(NameList());
  b.AddSection(19).AddSubSection().Data(Bytes(32, 0x5A));  // scenery objects, not read
  b.WriteTo(path);
}

void PaysBas(const std::string& path) {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection(0x0201);
  sub.AddAirport()
      .Name("Amsterdam Schiphol")
      .Icao("EHAM")
      .At(52.3086, 4.7639)
      .Elevation(-3'350)
      .Runway(18, C, -3'800)
      .Runway(18, L, -4'100)
      .Runway(18, R, -3'400)
      .Runway(6, 0, -3'350)
      .Runway(9, 0, -3'100)
      .Runway(4, 0, -3'600)
      .Start(18, C, -3'800)
      .Start(36, C, -3'200, 1)
      .Start(36, R, -4'000, 1)
      .Com(1, 118'100'000, "SCHIPHOL TOWER")
      .TaxiwayPoints(6)
      .Parking(10);
  sub.AddAirport()
      .Name("Rotterdam The Hague")
      .Icao("EHRD")
      .At(51.9569, 4.4372)
      .Elevation(-4'572)
      .Runway(6, 0, -4'500)
      .Start(6, 0, -4'500)
      .Start(24, 0, -4'600);
  b.AddSection(39).AddSubSection().Data(NameList());
  b.WriteTo(path);
}

void Alpes(const std::string& path) {
  BglBuilder b;
  auto& high = b.AddSection(3).AddSubSection(0x0301);
  high.AddAirport()
      .Name("Altiport de Courchevel")
      .Icao("LFLJ")
      .At(45.3967, 6.6347)
      .Elevation(2'008'000)
      .Runway(4, 0, 1'975'000)
      .Start(4, 0, 1'975'000)
      .Com(2, 130'000'000, "COURCHEVEL A/A");
  high.AddAirport()
      .Name("Altiport de Megève")
      .Icao("LFHM")
      .At(45.8208, 6.6522)
      .Elevation(1'462'000)
      .Runway(36, 0, 1'455'000)
      .Start(36, 0, 1'455'000)
      .Start(18, 0, 1'470'000);
  auto& valley = b.sections.back().AddSubSection(0x0302);
  valley.AddAirport()
      .Name("Annecy Haute-Savoie Mont-Blanc")
      .Icao("LFLP")
      .At(45.9292, 6.0989)
      .Elevation(459'000)
      .Runway(4, 0, 458'000)
      .Runway(37, kWater, 447'000)  // the lake's seaplane lane, laid out north-south
      .Start(4, 0, 458'000)
      .Start(22, 0, 460'500)
      .TaxiwayPoints(3)
      .Parking(4);
  valley.AddAirport()
      .Name("Grenoble Le Versoud")
      .Icao("LFLG")
      .At(45.2192, 5.8497)
      .Elevation(219'000)
      .Runway(9, 0, 218'000)
      .Runway(27, 0, 219'500)
      .Start(9, 0, 218'000)
      .Start(27, 0, 219'500)
      .Com(1, 120'300'000, "VERSOUD INFO");
  b.AddSection(39).AddSubSection().Data(NameList());
  b.WriteTo(path);
}

// The older scenery format: another header word, which the program does not read.
void OldFormat(const std::string& path) {
  BglBuilder b;
  b.HeaderWord(0x0001);
  b.AddSection(3).AddSubSection().AddAirport().Name("Ancien format").Elevation(100'000);
  b.WriteTo(path);
}

// A simulator's folder with its scenery library: scenery.cfg (Windows-1252, as the simulator
// writes it) and four areas, where Courchevel is defined three times, twice actively and
// with elevations that disagree.
void Library(const std::string& folder) {
  namespace fs = std::filesystem;
  const auto area = [&](const std::string& local) {
    const std::string scenery = folder + "/" + local + "/scenery";
    fs::create_directories(scenery);
    return scenery + "/";
  };
  const auto courchevel = [](const std::string& path, std::int64_t mm, std::int64_t runway) {
    BglBuilder b;
    b.AddSection(3)
        .AddSubSection(0x0301)
        .AddAirport()
        .Name("Altiport de Courchevel")
        .Icao("LFLJ")
        .At(45.3967, 6.6347)
        .Elevation(mm)
        .Runway(4, 0, runway)
        .Start(4, 0, runway);
    b.WriteTo(path);
  };
  Alpes(area("Scenery/World") + "AP_Alpes.bgl");
  courchevel(area("Addon Scenery/Courchevel") + "LFLJ_Courchevel.bgl", 2'006'500, 1'976'000);
  courchevel(area("Addon Scenery/Courchevel 2003") + "LFLJ_Courchevel.bgl", 1'990'000, 1'990'000);
  PaysBas(area("Addon Scenery/Pays-Bas") + "AP_PAYS-BAS.BGL");
  const std::string cfg =
      "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 Scenery "
      "Data\r\nClean_on_Exit=TRUE\r\n"
      "\r\n; Les zones, de la plus basse à la plus haute\r\n"
      "[Area.001]\r\nTitle=Scènes par défaut\r\nLocal=Scenery\\World\r\nRemote=\r\n"
      "Active=TRUE\r\nRequired=TRUE\r\nLayer=1\r\n\r\n"
      "[Area.002]\r\nTitle=Courchevel (add-on)\r\nLocal=Addon Scenery\\Courchevel\r\n"
      "Active=TRUE\r\nRequired=FALSE\r\nLayer=3\r\n\r\n"
      "[Area.003]\r\nTitle=Courchevel 2003 (ancienne version)\r\n"
      "Local=Addon Scenery\\Courchevel 2003\r\nActive=FALSE\r\nLayer=4\r\n\r\n"
      "[Area.004]\r\nTitle=Pays-Bas\r\nLocal=Addon Scenery\\Pays-Bas\r\nActive=TRUE\r\n"
      "Layer=2\r\n";
  std::ofstream(folder + "/scenery.cfg", std::ios::binary) << qor::test::Utf8ToCp1252(cfg);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sample-scenery FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::filesystem::create_directories(folder);
  IleDeFrance(folder + "/AP_IleDeFrance.bgl");
  PaysBas(folder + "/AP_PAYS-BAS.BGL");
  Alpes(folder + "/AP_Alpes.bgl");
  OldFormat(folder + "/FS2002_ancien.bgl");
  // The simulator's folder beside the scenery folder.
  Library(std::filesystem::path(folder).parent_path().string() + "/fs2004");
  return 0;
}
