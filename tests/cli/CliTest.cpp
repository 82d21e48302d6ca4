// The command line end to end: the real program on files from the builder.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "platform/Registry.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"
#include "text/PathText.h"
#include "text/Utf8.h"

namespace qor {
namespace {

using test::BglBuilder;

struct Result {
  int exit;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class CliTest : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, const std::string& locale = "C.UTF-8") {
    // A home of its own, so that the desktop, the backup folder and the trash are the test's.
    const std::string home = dir_ / "home";
    std::string command = "LC_ALL=" + locale + " HOME=" + Quote(home) +
                          " XDG_CONFIG_HOME=" + Quote(home + "/.config") +
                          " XDG_DATA_HOME=" + Quote(home + "/.local/share") + " " +
                          Quote(QORBGL_CLI);
    for (const auto& a : args) command += " " + Quote(a);
    command += " >" + Quote(dir_ / "out") + " 2>" + Quote(dir_ / "err") + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadText(dir_ / "out"),
            test::ReadText(dir_ / "err")};
  }
  test::TempFolder dir_;
};

TEST_F(CliTest, ListPrintsTheSortedTreeWithIndentedElements) {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  sub.AddAirport()
      .Name("Toussus-le-Noble")
      .Elevation(164000)
      .Start(25, 2, 162800)
      .Runway(7, 1, 163500);
  sub.AddAirport().Name("Amsterdam Schiphol").Elevation(-3350).Runway(18, 3, 1234567);
  b.WriteTo(dir_ / "f.bgl");
  const Result r = Run({"list", dir_ / "f.bgl"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out,
            "Amsterdam Schiphol          -3.350\n"
            "   Runway 18 C               1234.567\n"
            "Toussus-le-Noble           164.000\n"
            "   Runway 7 L                 163.500\n"
            "   Start 25 R                 162.800\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, ListJsonGivesEveryAirportAndElementInFileOrderWithItsOffset) {
  BglBuilder b;
  auto& one =
      b.AddSection(3).AddSubSection().AddAirport().Name("Aérodrome \"Nord\"").Elevation(-1250);
  one.Icao("LFPG").Position(0, 0x18000000).Runway(24, 1, 482000).Com().Start(6, 2, 4294967295);
  // A blank ident, the south pole on the date line.
  auto& two =
      b.AddSection(3).AddSubSection().AddAirport().Elevation(7).Icao("").Position(1u << 29, 0);
  b.WriteTo(dir_ / "f.bgl");
  const Result r = Run({"list", dir_ / "f.bgl", "--json"});
  EXPECT_EQ(r.exit, 0) << r.err;
  const auto at = [](std::uint32_t n) { return std::to_string(n); };
  EXPECT_EQ(
      r.out,
      "{\"file\": \"" + (dir_ / "f.bgl") +
          "\", \"airports\": [\n"
          "  {\"name\": \"Aérodrome \\\"Nord\\\"\", \"icao\": \"LFPG\", \"latitude\": 90.000000, "
          "\"longitude\": 0.000000, \"elevation_mm\": -1250, \"offset\": " +
          at(one.elevationOffset) +
          ", \"elements\": [\n"
          "    {\"caption\": \"Runway 24 L\", \"elevation_mm\": 482000, \"offset\": " +
          at(one.elements[0].elevationOffset) +
          "},\n"
          "    {\"caption\": \"Start 6 R\", \"elevation_mm\": -1, \"offset\": " +
          at(one.elements[1].elevationOffset) +
          "}\n  ]},\n"
          "  {\"name\": \"\", \"icao\": \"\", \"latitude\": -90.000000, \"longitude\": "
          "-180.000000, \"elevation_mm\": 7, \"offset\": " +
          at(two.elevationOffset) + ", \"elements\": []}\n]}\n");
}

TEST_F(CliTest, FailuresHaveTheirExitCodeAndAFrenchMessage) {
  BglBuilder old;
  old.HeaderWord(0x0102);
  old.WriteTo(dir_ / "old.bgl");
  BglBuilder later;
  later.HeaderWord(0x0301).AddSection(3).AddSubSection().AddAirport().Name("Nord");
  later.WriteTo(dir_ / "later.bgl");
  BglBuilder empty;
  empty.AddSection(19).AddSubSection().Data({1, 2, 3});
  empty.WriteTo(dir_ / "empty.bgl");
  struct Row {
    std::vector<std::string> args;
    int exit;
    std::string err;
  };
  const Row rows[] = {
      {{"list", dir_ / "absent.bgl"},
       3,
       "Je ne trouve pas le fichier \"" + (dir_ / "absent.bgl") + "\"."},
      {{"list", dir_ / "old.bgl"}, 3, "Je ne sais pas explorer les BGLs de type $0102.\n"},
      {{"list", dir_ / "later.bgl"}, 3, "Je ne sais pas explorer les BGLs de type $0301.\n"},
      {{"list", dir_ / "empty.bgl"}, 1, "Ce fichier ne contient pas d'aéroports."},
      {{"list"}, 2, "list attend un seul FICHIER."},
      {{"list", "a", "b"}, 2, "list attend un seul FICHIER."},
      {{"list", "a", "--xml"}, 2, "option inconnue : --xml"},
      {{}, 2, "il manque la commande."},
      {{"lister", "a"}, 2, "commande inconnue : lister"},
      {{"files", dir_ / "absent"}, 3, "Je ne trouve pas le dossier"},
  };
  for (const Row& row : rows) {
    const Result r = Run(row.args);
    EXPECT_EQ(r.exit, row.exit) << row.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << r.err;
  }
}

TEST_F(CliTest, FilesListsTheReadableNewFormatFilesInFolderOrder) {
  std::filesystem::create_directory(dir_ / "scenery");
  const std::string folder = dir_ / "scenery";
  BglBuilder good;
  for (const char* name : {"b.bgl", "A.BGL", "c.Bgl"}) good.WriteTo(folder + "/" + name);
  test::WriteFile(folder + "/one-byte.bgl", {0x01});
  test::WriteFile(folder + "/empty.bgl", {});
  test::WriteFile(folder + "/old.bgl", {0x01, 0x00, 0x00, 0x00});
  good.WriteTo(folder + "/other.txt");
  good.WriteTo(folder + "/readonly.bgl");
  std::filesystem::permissions(folder + "/readonly.bgl", std::filesystem::perms::owner_read);

  const Result r = Run({"files", folder});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "A.BGL\nb.bgl\nc.Bgl\n");

  std::filesystem::create_directory(dir_ / "none");
  const Result none = Run({"files", dir_ / "none"});
  EXPECT_EQ(none.exit, 1);
  EXPECT_EQ(none.out, "");
}

TEST_F(CliTest, FindNamesTheFilesThatDefineAnAirport) {
  const std::string folder = dir_ / "scenery";
  std::filesystem::create_directory(folder);
  auto write = [&](const std::string& name, std::vector<std::string> airports) {
    BglBuilder b;
    auto& sub = b.AddSection(3).AddSubSection();
    for (const std::string& airport : airports) sub.AddAirport().Name(airport);
    b.WriteTo(folder + "/" + name);
  };
  write("a.bgl", {"Sud", "Aérodrome de Meaux"});
  write("b.bgl", {"NORD"});
  write("c.bgl", {"nord", "Aérodrome de Meaux"});
  test::WriteFile(folder + "/old.bgl", {0x01, 0x00, 0x00, 0x00});  // not listed, not examined
  struct Row {
    std::vector<std::string> args;
    int exit;
    std::string out;
  };
  const Row rows[] = {
      {{"find", folder, "Nord"}, 0, "b.bgl\nc.bgl\n"},
      {{"find", folder, "AéRODROME DE MEAUX"}, 0, "a.bgl\nc.bgl\n"},  // a to z in any case
      {{"find", folder, "aÉrodrome de meaux"}, 1, ""},                // É is not é
      {{"find", folder, "Nord", "--json"},
       0,
       "{\"folder\": \"" + folder + "\", \"name\": \"Nord\", \"files\": [\"b.bgl\", \"c.bgl\"]}\n"},
      {{"find", folder, "Est", "--json"},
       1,
       "{\"folder\": \"" + folder + "\", \"name\": \"Est\", \"files\": []}\n"},
      {{"find", folder}, 2, ""},
  };
  for (const Row& row : rows) {
    const Result r = Run(row.args);
    EXPECT_EQ(r.exit, row.exit) << row.args[2] << r.err;
    EXPECT_EQ(r.out, row.out) << row.args[2];
  }
  // A damaged file on the way stops the search: no answer, its message as the window gives it.
  test::WriteFile(folder + "/b.bgl", {0x01, 0x02, 0, 0, 0xFF, 0xFF, 0, 0});
  const Result damaged = Run({"find", folder, "Nord"});
  EXPECT_EQ(damaged.exit, 3);
  EXPECT_EQ(damaged.out, "");
  EXPECT_EQ(damaged.err, "qorbgl-cli : (TBGL.Create) Le fichier \"" + folder +
                             "/b.bgl\" est endommagé : il est plus court que ses tables ne "
                             "l'annoncent.\n");
}

// The library commands on the sample library the tool makes beside its scenery folder.
TEST_F(CliTest, TheLibraryCommandsFindAlignAndCheckTheSampleLibrary) {
  ASSERT_EQ(std::system((Quote(QORBGL_SAMPLE_TOOL) + " " + Quote(dir_ / "scenery")).c_str()), 0);
  const std::string fs = dir_ / "fs2004";
  const std::string world = fs + "/Scenery/World/scenery/AP_Alpes.bgl";
  const std::string addon = fs + "/Addon Scenery/Courchevel/scenery/LFLJ_Courchevel.bgl";

  Result r = Run({"areas", "--fs", fs, "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const nlohmann::json listed = nlohmann::json::parse(r.out);
  std::vector<std::string> areas;
  for (const auto& a : listed.at("areas")) {
    areas.push_back(std::to_string(a.at("layer").get<std::int64_t>()) + " " +
                    a.at("title").get<std::string>() + (a.at("active").get<bool>() ? "" : " off") +
                    " " + std::to_string(a.at("files").get<std::int64_t>()));
  }
  EXPECT_EQ(areas, (std::vector<std::string>{"1 Scènes par défaut 1", "2 Pays-Bas 1",
                                             "3 Courchevel (add-on) 1",
                                             "4 Courchevel 2003 (ancienne version) off 1"}));
  r = Run({"areas", "--fs", fs});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_NE(r.out.find("Scenery/World/ (1 fichier)\n"), std::string::npos) << r.out;

  r = Run({"where", "LfLj", "--fs", fs, "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  nlohmann::json where = nlohmann::json::parse(r.out);
  EXPECT_FALSE(where.at("agree").get<bool>());
  ASSERT_EQ(where.at("definitions").size(), 3u);
  EXPECT_EQ(where.at("definitions").at(1).at("file").get<std::string>(), addon);
  EXPECT_TRUE(where.at("definitions").at(1).at("shown").get<bool>());
  EXPECT_EQ(where.at("definitions").at(1).at("elevation_mm").get<std::int64_t>(), 2006500);
  EXPECT_EQ(where.at("definitions").at(0).at("elements").size(), 2u);
  EXPECT_EQ(Run({"where", "KJFK", "--fs", fs}).exit, 1);

  r = Run({"conflicts", "--fs", fs, "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const nlohmann::json conflicts = nlohmann::json::parse(r.out);
  EXPECT_EQ(conflicts.at("conflicts").at(0).at("icao").get<std::string>(), "LFLJ");
  EXPECT_EQ(Run({"conflicts", "--fs", fs, "--min-diff", "1,5"}).exit, 1);

  const test::Bytes before = test::ReadFile(world);
  r = Run({"align", "LFLJ", "--elevation", "2007", "--all", "--fs", fs, "--dry-run"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 7) << r.out;  // 6 fields and a note
  EXPECT_EQ(test::ReadFile(world), before);
  r = Run({"align", "LFLJ", "--elevation", "2007", "--fs", fs});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(test::ReadFile(dir_ / "home/Desktop/QORBgl Backup/AP_Alpes.bgl"), before);
  EXPECT_EQ(Run({"conflicts", "--fs", fs}).exit, 1);

  // The backup goes back in place; the aligned file goes to the trash.
  r = Run({"restore", world});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(test::ReadFile(world), before);
  EXPECT_EQ(Run({"restore", addon + "x"}).exit, 3);
  EXPECT_EQ(Run({"restore", fs + "/Addon Scenery/Pays-Bas/scenery/AP_PAYS-BAS.BGL"}).exit, 1);

  // A damaged file fails the check; one of the older format is named as such.
  test::WriteFile(fs + "/Scenery/World/scenery/casse.bgl", {0x01, 0x02, 0, 0, 0xFF, 0xFF});
  test::WriteFile(fs + "/Scenery/World/scenery/vieux.bgl", {0x01, 0x00, 0, 0});
  r = Run({"check", fs + "/Scenery/World/scenery", "--json"});
  EXPECT_EQ(r.exit, 3) << r.err;
  const nlohmann::json check = nlohmann::json::parse(r.out);
  EXPECT_EQ(check.at("checked").get<std::int64_t>(), 3);
  ASSERT_EQ(check.at("files").size(), 2u);
  EXPECT_EQ(check.at("files").at(0).at("state").get<std::string>(), "damaged");
  EXPECT_EQ(check.at("files").at(1).at("state").get<std::string>(), "old-format");
  EXPECT_EQ(Run({"check", fs + "/Addon Scenery/Courchevel/scenery"}).exit, 0);

  // A scenery.cfg that cannot be taken: its line, and nothing else done.
  test::WriteFile(fs + "/scenery.cfg", {'[', 'A', 'r', 'e', 'a', '.', '1', '\n', 'x', '\n'});
  r = Run({"areas", "--fs", fs});
  EXPECT_EQ(r.exit, 3);
  EXPECT_NE(r.err.find("mal formé à la ligne 1"), std::string::npos) << r.err;
}

// The real-world lists: what they say of an airport, the airports whose shown elevation is not
// theirs, and an alignment to them, in either list's layout.
TEST_F(CliTest, TheReferenceListsAreMatchedShownAndAlignedTo) {
  ASSERT_EQ(std::system((Quote(QORBGL_SAMPLE_TOOL) + " " + Quote(dir_ / "scenery")).c_str()), 0);
  const std::string fs = dir_ / "fs2004";
  const std::string csv = dir_ / "airports.csv";
  const std::string dat = dir_ / "airports.dat";
  // Courchevel 6588 ft = 2008.022 m (the stock scenery is 22 mm off, the add-on 1.522 m);
  // Megève 8 m above the scenery; Annecy's ident 659 km away.
  test::WriteText(csv,
                  "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\","
                  "\"elevation_ft\",\"gps_code\"\r\n"
                  "1,\"lflj\",\"small_airport\",\"Courchevel Altiport\",45.3967,6.6347,6588,\r\n"
                  "2,\"X-9\",\"small_airport\",\"Megève, \"\"Altiport\"\"\",45.8208,6.6522,4823,"
                  "\"LFHM\"\r\n"
                  "3,\"LFLP\",\"medium_airport\",\"Annecy\",40,6.0989,1521,\"LFLP\"\r\n");
  test::WriteText(dat,
                  "1,\"Courchevel \\\"Altiport\\\"\",\"Courchevel\",\"France\",\\N,\"LFLJ\","
                  "45.3967,6.6347,6588,1,\"E\",\"Europe/Paris\",\"airport\",\"OurAirports\"\n");

  Result r = Run({"where", "LFLJ", "--fs", fs, "--reference", csv, "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  nlohmann::json where = nlohmann::json::parse(r.out);
  EXPECT_EQ(where.at("reference"),
            nlohmann::json::parse(R"({"file": ")" + csv + R"(", "format": "ourairports",
                "ident": "lflj", "name": "Courchevel Altiport", "elevation_ft": 6588,
                "elevation_mm": 2008022, "latitude": 45.3967, "longitude": 6.6347,
                "distance_m": 0})"));
  EXPECT_TRUE(where.at("reference_rejected").is_null());
  r = Run({"where", "LFLJ", "--fs", fs, "--reference", dat});
  EXPECT_NE(r.out.find("Référence : Courchevel \"Altiport\", 2008.022 m (6588 ft), OpenFlights\n"
                       "L'altitude que le simulateur montre s'écarte de la référence de 1.522 m."),
            std::string::npos)
      << r.out;
  where =
      nlohmann::json::parse(Run({"where", "LFLP", "--fs", fs, "--reference", csv, "--json"}).out);
  EXPECT_TRUE(where.at("reference").is_null());
  EXPECT_EQ(where.at("reference_rejected").at("ident"), "LFLP");
  EXPECT_NEAR(where.at("reference_rejected").at("distance_m").get<double>(), 659000, 2000);

  r = Run({"conflicts", "--fs", fs, "--reference", csv, "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  std::vector<std::string> conflicts;
  const nlohmann::json listed = nlohmann::json::parse(r.out);
  for (const auto& c : listed.at("conflicts")) {
    std::string line = c.at("icao").get<std::string>();
    for (const auto& reason : c.at("reasons")) line += " " + reason.get<std::string>();
    if (!c.at("reference").is_null())
      line += " " + c.at("reference").at("ident").get<std::string>();
    conflicts.push_back(line);
  }
  EXPECT_EQ(conflicts,
            (std::vector<std::string>{"LFLJ definitions reference lflj", "LFHM reference LFHM"}));
  // 1.522 m is under 2 m: the add-on no longer differs enough from the reference.
  r = Run({"conflicts", "--fs", fs, "--reference", csv, "--min-diff", "2"});
  EXPECT_NE(r.out.find("LFHM Altiport de Megève : l'altitude affichée s'écarte de 8.050 m de la "
                       "référence (1470.050 m, OurAirports)"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("LFLJ"), std::string::npos) << r.out;

  const std::string alpes = fs + "/Scenery/World/scenery/AP_Alpes.bgl";
  const test::Bytes before = test::ReadFile(alpes);
  struct Row {
    std::vector<std::string> args;
    int exit;
    std::string says;  // in the output or the message
  };
  const Row rows[] = {
      {{"align", "LFHM", "--reference", csv, "--dry-run"}, 0, "1462.000 -> 1470.050 m"},
      {{"align", "LFHM", "--reference", csv, "--elevation", "1500", "--dry-run"},
       0,
       "1462.000 -> 1500.000 m"},
      {{"align", "LFLG", "--reference", csv}, 1, "Aucune altitude de référence pour « LFLG »"},
      {{"align", "LFLP", "--reference", csv}, 1, "je ne le retiens pas"},
      {{"align", "LFHM"}, 2, "--elevation METRES ou --reference FICHIER"},
      {{"where", "LFHM", "--reference", fs + "/scenery.cfg"}, 3, "ni la liste airports.csv"},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args = row.args;
    args.insert(args.begin() + 2, {"--fs", fs});
    r = Run(args);
    EXPECT_EQ(r.exit, row.exit) << row.args[1] << r.err;
    EXPECT_NE((r.out + r.err).find(row.says), std::string::npos) << r.out << r.err;
    EXPECT_EQ(test::ReadFile(alpes), before);
  }
  r = Run({"align", "LFHM", "--fs", fs, "--reference", csv});
  ASSERT_EQ(r.exit, 0) << r.err;
  where = nlohmann::json::parse(Run({"where", "LFHM", "--fs", fs, "--json"}).out);
  EXPECT_EQ(where.at("definitions").at(0).at("elevation_mm"), 1470050);
}

// Only the header word $0001 is the older format: any other is a damaged file, which check
// fails on and the library commands report, and which leaves agreement an open question.
TEST_F(CliTest, AFileOfNeitherFormatIsDamagedAndLeavesAgreementOpen) {
  struct Row {
    const char* what;
    test::Bytes bytes;
    bool older;
    std::string says;  // in check's line of b.bgl
  };
  const Row rows[] = {
      {"zeros", test::Bytes(64, 0), false, "il commence par $0000, ni $0201"},
      {"random bytes",
       {0x5A, 0xC3, 0x17, 0x9E, 0x02, 0x88, 0x41, 0xF0},
       false,
       "il commence par $C35A, ni $0201"},
      {"the older format",
       {0x01, 0x00, 0x00, 0x00},
       true,
       "ancien format (en-tête $0001, pas $0201)"},
      {"a later header", BglBuilder().HeaderWord(0x0301).Build(), false,
       "il commence par $0301, ni $0201"},
      {"one byte", {0x01}, false, "trop court pour contenir un en-tête (1 octet)"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.what);
    const std::string fs = dir_ / ("fs" + std::to_string(i));
    const std::string folder = fs + "/Zone/scenery";
    std::filesystem::create_directories(folder);
    BglBuilder good;
    good.AddSection(3).AddSubSection().AddAirport().Name("Altiport").Icao("LFLJ").Elevation(2000);
    good.WriteTo(folder + "/a.bgl");
    test::WriteFile(folder + "/b.bgl", row.bytes);
    test::WriteText(fs + "/scenery.cfg", "[Area.001]\r\nTitle=Zone\r\nLocal=Zone\r\n");

    Result r = Run({"check", folder});
    EXPECT_EQ(r.exit, row.older ? 0 : 3) << r.out << r.err;
    EXPECT_EQ(r.out.rfind("b.bgl : ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(row.says), std::string::npos) << r.out;
    r = Run({"check", folder, "--json"});
    const nlohmann::json check = nlohmann::json::parse(r.out);
    ASSERT_EQ(check.at("files").size(), 1u) << r.out;
    EXPECT_EQ(check.at("files").at(0).at("state").get<std::string>(),
              row.older ? "old-format" : "damaged");

    r = Run({"where", "LFLJ", "--fs", fs});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find(row.older ? "\nLes définitions actives s'accordent.\n"
                                   : "\nJe ne peux pas dire si les définitions actives "
                                     "s'accordent : 1 fichier ou dossier des zones actives n'a "
                                     "pas pu être lu.\n"),
              std::string::npos)
        << r.out;
    if (row.older) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_NE(r.err.find("\"" + folder + "/b.bgl\""), std::string::npos) << r.err;
    }
    r = Run({"where", "LFLJ", "--fs", fs, "--json"});
    const nlohmann::json where = nlohmann::json::parse(r.out);
    EXPECT_EQ(where.at("agree").get<bool>(), row.older);
    ASSERT_EQ(where.at("unreadable").size(), row.older ? 0u : 1u) << r.out;
    if (!row.older) {
      EXPECT_EQ(where.at("unreadable").at(0).at("file").get<std::string>(), folder + "/b.bgl");
    }
  }
  // The other library commands list it too; conflicts says what its silence cannot mean.
  const Result areas = Run({"areas", "--fs", dir_ / "fs0", "--json"});
  EXPECT_EQ(areas.exit, 0);
  const nlohmann::json unreadable = nlohmann::json::parse(areas.out).at("unreadable");
  ASSERT_EQ(unreadable.size(), 1u) << areas.out;
  EXPECT_NE(unreadable.at(0).at("message").get<std::string>().find("$0000"), std::string::npos);
  const Result conflicts = Run({"conflicts", "--fs", dir_ / "fs0"});
  EXPECT_EQ(conflicts.exit, 1);
  EXPECT_NE(conflicts.out.find("Je ne peux pas dire si les définitions actives des autres"),
            std::string::npos)
      << conflicts.out;
}

// Names, titles and paths are data: no control character of theirs reaches the terminal
// through the text output (each spelled out as on standard error), and the JSON carries them
// exactly.
TEST_F(CliTest, ControlCharactersOfTheDataNeverReachTheTerminal) {
  const std::string fs = dir_ / "fs";
  const std::string folder = fs + "/Zone/scenery";
  const std::string name = "deux\nlignes\x1b.bgl";
  const std::string file = folder + "/" + name;
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(fs + "/Autre/scenery");
  // Windows-1252 bytes: 0x8D is U+008D once read, a C1 character; 0x7F is DEL.
  BglBuilder odd;
  odd.AddSection(3).AddSubSection().AddAirport().NameBytes("Nord\nSud\x8D\x7F\x1b[2J").Icao("LFLJ");
  odd.WriteTo(file);
  BglBuilder plain;
  plain.AddSection(3).AddSubSection().AddAirport().Name("Courchevel").Icao("LFLJ").Elevation(9000);
  plain.WriteTo(fs + "/Autre/scenery/plain.bgl");
  test::WriteText(fs + "/scenery.cfg",
                  "[Area.001]\r\nTitle=Zone\x1b[2J\x1b]0;titre\x07\x9D\r\nLocal=Zone\r\nLayer=2\r\n"
                  "[Area.002]\r\nTitle=Autre\r\nLocal=Autre\r\nLayer=1\r\n");
  const std::string damagedFolder = dir_ / "abime";
  const std::string damagedName = "casse\n\x1b[2J\x9B.bgl";  // and a stray byte, CSI in 8 bits
  std::filesystem::create_directories(damagedFolder);
  test::WriteFile(damagedFolder + "/" + damagedName, test::Bytes(8, 0));

  const std::string airport = "Nord\\nSud\\u008D\\x7F\\x1B[2J";
  const std::string title = "Zone\\x1B[2J\\x1B]0;titre\\x07\\u009D";
  const std::string shownName = "deux\\nlignes\\x1B.bgl";
  struct Row {
    std::vector<std::string> args;
    int exit;
    std::vector<std::string> shows;
    std::size_t lines;
  };
  const Row rows[] = {
      {{"list", file}, 0, {airport}, 1},
      {{"files", folder}, 0, {shownName + "\n"}, 1},
      {{"find", folder, "LFLJ"}, 0, {shownName + "\n"}, 1},
      {{"areas", "--fs", fs}, 0, {"[2] " + title + " : "}, 2},
      {{"where", "LFLJ", "--fs", fs}, 0, {title, shownName + " : " + airport + " (LFLJ)"}, 3},
      {{"conflicts", "--fs", fs}, 0, {"LFLJ " + airport + " : écart de", title}, 3},
      {{"check", damagedFolder}, 3, {"casse\\n\\x1B[2J\\x9B.bgl : "}, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0]);
    const Result r = Run(row.args);
    EXPECT_EQ(r.exit, row.exit) << r.err;
    for (std::size_t i = 0; i < r.out.size();) {
      const auto c = static_cast<unsigned char>(r.out[i]);
      const Utf8Char ch = DecodeUtf8(r.out, i);
      const bool c1 = ch.valid && ch.code >= 0x80 && ch.code < 0xA0;
      const bool stray = !ch.valid && c >= 0x80 && c < 0xA0;
      ASSERT_FALSE((c < 0x20 && c != '\n') || c == 0x7F || c1 || stray)
          << "byte " << i << " of " << r.out;
      i += ch.size;
    }
    for (const std::string& shown : row.shows) {
      EXPECT_NE(r.out.find(shown), std::string::npos) << shown << " in\n" << r.out;
    }
    EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), row.lines)
        << r.out;
  }

  const std::string airportText = "Nord\nSud\xC2\x8D\x7F\x1b[2J";
  const std::string titleText = "Zone\x1b[2J\x1b]0;titre\x07\xC2\x9D";
  nlohmann::json json = nlohmann::json::parse(Run({"list", file, "--json"}).out);
  EXPECT_EQ(json.at("file").get<std::string>(), file);
  EXPECT_EQ(json.at("airports").at(0).at("name").get<std::string>(), airportText);
  json = nlohmann::json::parse(Run({"find", folder, "LFLJ", "--json"}).out);
  EXPECT_EQ(json.at("files").at(0).get<std::string>(), name);
  json = nlohmann::json::parse(Run({"areas", "--fs", fs, "--json"}).out);
  EXPECT_EQ(json.at("areas").at(1).at("title").get<std::string>(), titleText);
  json = nlohmann::json::parse(Run({"where", "LFLJ", "--fs", fs, "--json"}).out);
  const nlohmann::json& shown = json.at("definitions").at(1);
  EXPECT_EQ(shown.at("area").get<std::string>(), titleText);
  EXPECT_EQ(shown.at("file").get<std::string>(), file);
  EXPECT_EQ(shown.at("name").get<std::string>(), airportText);
  json = nlohmann::json::parse(Run({"conflicts", "--fs", fs, "--json"}).out);
  EXPECT_EQ(json.at("conflicts").at(0).at("name").get<std::string>(), airportText);
  json = nlohmann::json::parse(Run({"check", damagedFolder, "--json"}).out);
  EXPECT_EQ(json.at("files").at(0).at("name").get<std::string>(), "casse\n\x1b[2J\xEF\xBF\xBD.bgl");
}

// The same command in each language: its text output and messages translated, its JSON and its
// exit status the same; French when none is asked for.
TEST_F(CliTest, TheLanguageChangesTheTextsButNeitherTheJsonNorTheExitStatus) {
  ASSERT_EQ(std::system((Quote(QORBGL_SAMPLE_TOOL) + " " + Quote(dir_ / "scenery")).c_str()), 0);
  const std::string fs = dir_ / "fs2004";
  // A library with a damaged file: the JSON names it with the library's own message.
  const std::string damaged = dir_ / "damaged";
  std::filesystem::create_directories(damaged + "/Zone/scenery");
  BglBuilder good;
  good.AddSection(3).AddSubSection().AddAirport().Name("Altiport").Icao("LFLJ").Elevation(2000);
  good.WriteTo(damaged + "/Zone/scenery/a.bgl");
  test::WriteFile(damaged + "/Zone/scenery/b.bgl", test::Bytes(64, 0));
  test::WriteText(damaged + "/scenery.cfg", "[Area.001]\r\nTitle=Zone\r\nLocal=Zone\r\n");
  struct Row {
    std::vector<std::string> args;
    int exit;
    std::string fr, en, de;  // in the output or the messages; none for JSON
  };
  const Row rows[] = {
      {{"where", "LFLJ", "--fs", fs},
       0,
       "Les définitions actives ne s'accordent pas ; * : celle que le simulateur montre.\n",
       "The active definitions disagree; *: the one the simulator shows.\n",
       "Die aktiven Definitionen stimmen nicht überein; *: die, die der Simulator zeigt.\n"},
      {{"where", "LFLJ", "--fs", fs, "--json"}, 0, "", "", ""},
      {{"areas", "--fs", fs},
       0,
       "Scenery/World/ (1 fichier)\n",
       "Scenery/World/ (1 file)\n",
       "Scenery/World/ (1 Datei)\n"},
      {{"areas", "--fs", fs, "--json"}, 0, "", "", ""},
      {{"conflicts", "--fs", fs},
       0,
       "LFLJ Altiport de Courchevel : écart de 1.500 m\n",
       "LFLJ Altiport de Courchevel: 1.500 m apart\n",
       "LFLJ Altiport de Courchevel: 1.500 m Abweichung\n"},
      {{"conflicts", "--fs", fs, "--json"}, 0, "", "", ""},
      {{"align", "LFLJ", "--elevation", "2007", "--fs", fs, "--dry-run"},
       0,
       "(--dry-run : rien n'a été écrit)\n",
       "(--dry-run: nothing was written)\n",
       "(--dry-run: nichts wurde geschrieben)\n"},
      {{"where", "KJFK", "--fs", fs},
       1,
       "qorbgl-cli : Aucune définition de « KJFK » dans la bibliothèque.\n",
       "qorbgl-cli: No definition of \"KJFK\" in the library.\n",
       "qorbgl-cli: Keine Definition von „KJFK“ in der Bibliothek.\n"},
      {{"history", "--json"}, 1, "", "", ""},
      {{"where", "LFLJ", "--fs", damaged, "--json"}, 0, "", "", ""},
      {{"check", damaged + "/Zone/scenery", "--json"}, 3, "", "", ""},
      {{"set", dir_ / "f.bgl", "--offset", "1"},
       2,
       "qorbgl-cli : set attend --elevation METRES.\nUtilisation :\n",
       "qorbgl-cli: set expects --elevation METRES.\nUsage:\n",
       "qorbgl-cli: set erwartet --elevation METER.\nAufruf:\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0] + (row.fr.empty() ? " --json" : ""));
    const Result plain = Run(row.args);
    std::map<std::string, Result> said;
    for (const char* code : {"fr", "en", "de"}) {
      std::vector<std::string> args = {"--lang", code};
      args.insert(args.end(), row.args.begin(), row.args.end());
      said[code] = Run(args);
      EXPECT_EQ(said[code].exit, row.exit) << code << said[code].err;
    }
    EXPECT_EQ(plain.out + plain.err, said["fr"].out + said["fr"].err);
    if (row.fr.empty()) {
      EXPECT_FALSE(said["fr"].out.empty());
      EXPECT_EQ(said["en"].out, said["fr"].out);
      EXPECT_EQ(said["de"].out, said["fr"].out);
      continue;
    }
    const std::pair<const char*, std::string> expected[] = {
        {"fr", row.fr}, {"en", row.en}, {"de", row.de}};
    for (const auto& [code, text] : expected) {
      const std::string all = said[code].out + said[code].err;
      EXPECT_NE(all.find(text), std::string::npos) << code << ":\n" << all;
    }
  }
}

// Without --lang, the language the window saved is spoken; --lang goes first and wins, and works
// with --help and --version; a language it does not know is a usage error.
TEST_F(CliTest, TheWindowsLanguageIsSpokenUnlessLangSaysOtherwise) {
  struct Row {
    std::string saved;  // the window's setting
    std::vector<std::string> args;
    int exit;
    std::string says;
  };
  const Row rows[] = {
      {"en", {"list"}, 2, "qorbgl-cli: list expects a single FILE.\nUsage:\n"},
      {"de", {"list"}, 2, "qorbgl-cli: list erwartet genau eine DATEI.\nAufruf:\n"},
      {"fr", {"list"}, 2, "qorbgl-cli : list attend un seul FICHIER.\nUtilisation :\n"},
      {"es", {"list"}, 2, "qorbgl-cli : list attend un seul FICHIER."},
      {"de", {"--lang", "en", "list"}, 2, "qorbgl-cli: list expects a single FILE."},
      {"de", {"--lang=fr", "list"}, 2, "qorbgl-cli : list attend un seul FICHIER."},
      {"en", {"list", "--lang", "de"}, 2, "qorbgl-cli: unknown option: --lang"},
      {"", {"--lang", "es", "list"}, 2, "qorbgl-cli : --lang attend fr, en ou de, pas « es »."},
      {"en", {"--lang", "EN", "list"}, 2, "qorbgl-cli: --lang expects fr, en or de, not \"EN\"."},
      {"de", {"--lang"}, 2, "qorbgl-cli: --lang erwartet eine Sprache: fr, en oder de.\nAufruf:"},
      {"", {"--lang", "de", "--help"}, 0, "Aufruf:\n"},
      {"", {"--lang", "en", "--version"}, 0, "qorbgl-cli (QORBgl) "},
  };
  const std::string config = dir_ / "home/.config";
  const char* before = std::getenv("XDG_CONFIG_HOME");
  const std::string kept = before != nullptr ? before : "";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.saved + " " + row.args[0]);
    // Written as the window writes it, in the store the program reads.
    test::SetEnv("XDG_CONFIG_HOME", config);
    ASSERT_TRUE(platform::RegWriteValue(platform::RegRoot::CurrentUser,
                                        "Software\\QOR Soft\\QORBgl", "Langue",
                                        RegValue::Text(row.saved)));
    test::SetEnv("XDG_CONFIG_HOME", kept);
    const Result r = Run(row.args);
    EXPECT_EQ(r.exit, row.exit) << r.err;
    EXPECT_NE((r.out + r.err).find(row.says), std::string::npos) << r.out << r.err;
  }
}

// The help in English and German keeps no line of the French one.
TEST_F(CliTest, TheHelpIsWhollyTranslated) {
  const Result french = Run({"--help"});
  ASSERT_EQ(french.exit, 0);
  std::set<std::string> lines;
  std::istringstream in(french.out);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  EXPECT_GT(lines.size(), 30u);
  for (const char* code : {"en", "de"}) {
    const Result r = Run({"--lang", code, "--help"});
    ASSERT_EQ(r.exit, 0) << code;
    std::istringstream help(r.out);
    std::size_t count = 0;
    for (std::string line; std::getline(help, line); ++count) {
      EXPECT_EQ(lines.count(line), 0u) << code << ": " << line;
    }
    EXPECT_GT(count, 30u) << code;
  }
}

TEST_F(CliTest, TheBundledSampleSceneryIsWhatTheToolMakesAndLists) {
  const std::string made = dir_ / "made";
  ASSERT_EQ(std::system((Quote(QORBGL_SAMPLE_TOOL) + " " + Quote(made)).c_str()), 0);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(QORBGL_SAMPLES)) {
    const std::string name = entry.path().filename().string();
    names.push_back(name);
    EXPECT_EQ(test::ReadText(entry.path().string()), test::ReadText(made + "/" + name))
        << name << " differs from what make-sample-scenery writes: run it again";
  }
  EXPECT_EQ(names.size(),
            static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(made), {})));

  const Result files = Run({"files", QORBGL_SAMPLES});
  EXPECT_EQ(files.exit, 0);
  EXPECT_EQ(files.out, "AP_Alpes.bgl\nAP_IleDeFrance.bgl\nAP_PAYS-BAS.BGL\n");
  const Result list = Run({"list", std::string(QORBGL_SAMPLES) + "/AP_PAYS-BAS.BGL"});
  EXPECT_EQ(list.exit, 0);
  EXPECT_NE(list.out.find("Amsterdam Schiphol          -3.350\n"), std::string::npos) << list.out;
}

TEST_F(CliTest, SetWritesTheAirportAndWithAllItsElementsAfterTheBackup) {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  auto& nord = sub.AddAirport().Name("Aérodrome Nord").Elevation(432000);
  nord.Runway(24, 1, 431000).Com().Start(6, 2, 430000);
  sub.AddAirport().Name("Sud").Elevation(100000).Runway(1, 0, 100000);
  const test::Bytes original = b.WriteTo(dir_ / "f.bgl");

  Result r = Run({"set", dir_ / "f.bgl", "--airport", "aérodrome NORD", "--elevation", "433,5"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "Aérodrome Nord (offset " + std::to_string(nord.elevationOffset) +
                       ") : 432.000 -> 433.500 m\n");
  EXPECT_NE(r.err.find("Une copie de sécurité a été placée"), std::string::npos) << r.err;
  EXPECT_EQ(test::ReadFile(dir_ / "home/Desktop/QORBgl Backup/f.bgl"), original);

  r = Run(
      {"set", dir_ / "f.bgl", "--airport", "Aérodrome Nord", "--elevation", "12.3456", "--all"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;
  r = Run({"set", dir_ / "f.bgl", "--offset", std::to_string(nord.elements[1].elevationOffset),
           "--elevation", "-1,25"});
  EXPECT_EQ(r.exit, 0) << r.err;

  const Result json = Run({"list", dir_ / "f.bgl", "--json"});
  const nlohmann::json airports = nlohmann::json::parse(json.out).at("airports");
  ASSERT_EQ(airports.size(), 2u) << json.out;
  EXPECT_EQ(airports.at(0).at("name").get<std::string>(), "Aérodrome Nord");
  EXPECT_EQ(airports.at(0).at("elevation_mm").get<std::int64_t>(), 12346);
  EXPECT_EQ(airports.at(0).at("elements").at(0).at("elevation_mm").get<std::int64_t>(), 12346);
  EXPECT_EQ(airports.at(0).at("elements").at(1).at("elevation_mm").get<std::int64_t>(), -1250);
  EXPECT_EQ(airports.at(1).at("name").get<std::string>(), "Sud");
  EXPECT_EQ(airports.at(1).at("elevation_mm").get<std::int64_t>(), 100000);
  // Each run opened the file afresh and copied it again; the earlier copies went to the trash.
  EXPECT_TRUE(std::filesystem::exists(dir_ / "home/.local/share/Trash/files/f.bgl"));
  EXPECT_EQ(test::ReadFile(dir_ / "f.bgl").size(), original.size());
}

TEST_F(CliTest, SetWritesNothingWhenItCannotDoAllOfItSafely) {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  auto& one = sub.AddAirport().Name("Double").Elevation(1000);
  sub.AddAirport().Name("DOUBLE").Elevation(2000);
  const test::Bytes original = b.WriteTo(dir_ / "f.bgl");
  const std::string f = dir_ / "f.bgl";
  struct Row {
    std::vector<std::string> args;
    int exit;
    std::string err;
  };
  const Row rows[] = {
      {{"set", f, "--airport", "double", "--elevation", "5"},
       1,
       "--offset " + std::to_string(one.elevationOffset)},
      {{"set", f, "--airport", "Triple", "--elevation", "5"}, 1, "Aucun aéroport"},
      {{"set", f, "--offset", "3", "--elevation", "5"}, 1, "n'est celui d'aucune altitude"},
      {{"set", f, "--offset", "-3", "--elevation", "5"}, 2, "n'est pas un nombre entier"},
      {{"set", f, "--offset", "44", "--elevation", "cinq"}, 2, "n'est pas un nombre de mètres"},
      {{"set", f, "--offset", "44", "--elevation", "2147484"}, 2, "ne tient pas"},
      {{"set", f, "--offset", "44"}, 2, "--elevation"},
      {{"set", f, "--elevation", "5"}, 2, "soit --offset"},
      {{"set", f, "--offset", "44", "--all", "--elevation", "5"}, 2, "--all"},
  };
  for (const Row& row : rows) {
    const Result r = Run(row.args);
    EXPECT_EQ(r.exit, row.exit) << r.err;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(test::ReadFile(f), original);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "home/Desktop"));

  // No backup can be made (the desktop is a file): nothing written, unless --no-backup.
  std::filesystem::create_directories(dir_ / "home");
  test::WriteFile(dir_ / "home/Desktop", {});
  const std::string at = std::to_string(one.elevationOffset);
  Result r = Run({"set", f, "--offset", at, "--elevation", "5"});
  EXPECT_EQ(r.exit, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(test::ReadFile(f), original);
  r = Run({"set", f, "--offset", at, "--elevation", "5", "--no-backup"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "Double (offset " + at + ") : 1.000 -> 5.000 m\n");
}

// Names on disk are any bytes but '/' and NUL. Each row's name is given to a folder and to a
// file in it; both go through every command, and the backup copy keeps the name.
TEST_F(CliTest, OddNamesAreListedOpenedBackedUpAndRewritten) {
  struct Row {
    const char* what;
    std::string name;      // of the file, ".bgl" included; the folder is named after it
    std::string readable;  // how a message shows the file's name
  };
  const Row rows[] = {
      {"blanks", "la piste  longue .bgl", "la piste  longue .bgl"},
      {"quotes", "l'aéroport \"Nord\".bgl", "l'aéroport \"Nord\".bgl"},
      {"accents", "été über.bgl", "été über.bgl"},
      {"a newline", "deux\nlignes.bgl", "deux\\nlignes.bgl"},
      {"a tab and an escape", "tab\there\x1b[2J.bgl", "tab\\there\\x1B[2J.bgl"},
      {"a backslash", "C:\\FS9\\AP.bgl", "C:\\FS9\\AP.bgl"},
      {"Latin-1 bytes", "\xE9t\xE9.bgl", "\\xE9t\\xE9.bgl"},
  };
  // The desktop of the user-dirs file, with a name of its own.
  const std::string desktop = dir_ / "home/Bureau d'été";
  std::filesystem::create_directories(dir_ / "home/.config");
  test::WriteText(dir_ / "home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Bureau d'été\"\n");

  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string folder = dir_ / ("dossier " + row.name.substr(0, row.name.size() - 4));
    const std::string file = folder + "/" + row.name;
    const std::string folderReadable =
        (dir_ / "dossier ") + row.readable.substr(0, row.readable.size() - 4);
    std::filesystem::create_directory(folder);
    BglBuilder b;
    auto& ap = b.AddSection(3).AddSubSection().AddAirport().Name("Nord").Elevation(432000);
    ap.Runway(24, 1, 431000);
    const test::Bytes original = b.WriteTo(file);

    const bool utf8 = row.what != std::string("Latin-1 bytes");
    Result r = Run({"files", folder});
    EXPECT_EQ(r.exit, 0) << r.err;
    // The bytes as they are, but for the control characters, spelled out.
    EXPECT_EQ(r.out, (utf8 ? row.readable : row.name) + "\n");

    r = Run({"list", file});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 4), "Nord");

    r = Run({"list", file, "--json"});
    EXPECT_EQ(r.exit, 0) << r.err;
    nlohmann::json json;
    ASSERT_NO_THROW(json = nlohmann::json::parse(r.out)) << r.out;
    EXPECT_EQ(json.at("airports").at(0).at("name").get<std::string>(), "Nord");
    EXPECT_EQ(json.at("airports").at(0).at("offset").get<std::int64_t>(), ap.elevationOffset);
    if (utf8) {
      EXPECT_EQ(json.at("file").get<std::string>(), file);
      EXPECT_FALSE(json.contains("file_bytes"));
    } else {
      // The text shows the name as best it can; the bytes give it back exactly.
      const std::string ete = "\xEF\xBF\xBDt\xEF\xBF\xBD";
      EXPECT_EQ(json.at("file").get<std::string>(), (dir_ / "dossier ") + ete + "/" + ete + ".bgl");
      std::string bytes;
      const std::string hex = json.at("file_bytes").get<std::string>();
      for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
      }
      EXPECT_EQ(bytes, file);
    }

    r = Run({"set", file, "--airport", "nord", "--elevation", "5"});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "Nord (offset " + std::to_string(ap.elevationOffset) + ") : 432.000 -> 5.000 m\n");
    EXPECT_EQ(test::ReadFile(desktop + "/QORBgl Backup/" + row.name), original);
    test::Bytes changed = original;
    changed[ap.elevationOffset] = 0x88;  // 5000 = $1388, little-endian
    changed[ap.elevationOffset + 1] = 0x13;
    changed[ap.elevationOffset + 2] = 0;
    changed[ap.elevationOffset + 3] = 0;
    EXPECT_EQ(test::ReadFile(file), changed);

    // A second run copies the changed file; the first copy goes to the trash, name and all.
    r = Run({"set", file, "--offset", std::to_string(ap.elevationOffset), "--elevation", "6"});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(test::ReadFile(desktop + "/QORBgl Backup/" + row.name), changed);
    EXPECT_EQ(test::ReadFile(dir_ / ("home/.local/share/Trash/files/" + row.name)), original);

    // Messages name the file readably: one line, no raw control character, valid UTF-8.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", file + ".absent"},
          std::vector<std::string>{"set", file + ".absent", "--offset", "1", "--elevation", "1"}}) {
      r = Run(args);
      EXPECT_EQ(r.exit, 3);
      EXPECT_EQ(r.err, "qorbgl-cli : Je ne trouve pas le fichier \"" + folderReadable + "/" +
                           row.readable + ".absent\".\n");
    }
    std::filesystem::remove_all(dir_ / "home/.local/share/Trash");
  }
}

}  // namespace
}  // namespace qor
