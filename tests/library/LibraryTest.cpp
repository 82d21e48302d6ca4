// The scenery library: scenery.cfg as the simulator writes it (and as users botch it), the
// airports of its areas, where an airport is defined, conflicts, and aligning them.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "library/Align.h"
#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/File.h"
#ifndef _WIN32
#include "platform/SysCalls_posix.h"
#endif
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor::library {
namespace {

namespace fs = std::filesystem;
using test::BglBuilder;

// base and its parts, joined by the system's delimiter.
std::string In(const test::TempFolder& base, std::initializer_list<const char*> parts) {
  std::string path = base.Path();
  for (const char* part : parts) path += platform::kPathDelimiter + std::string(part);
  return path;
}

std::vector<std::string> Titles(const SceneryConfig& config) {
  std::vector<std::string> titles;
  for (const Area& a : config.areas) {
    titles.push_back(a.title + "|" + std::to_string(a.layer) + (a.active ? "" : "|off"));
  }
  return titles;
}

TEST(SceneryConfigTest, AreasComeInLoadOrderWithTheirFoldersWhateverTheFileLooksLike) {
  test::TempFolder sim;
  fs::create_directories(test::Utf8Path(In(sim, {"Addon Scenery", "Alpes"})));
  const std::string absolute = sim / "ailleurs";
  const std::string cfg = test::Utf8ToCp1252(
      "[General]\r\nTitle=FS9 World Scenery\r\n\r\n"
      "; un commentaire\r\n"
      "[Area.003]\r\n  title = Scènes d'été \r\nlocal=addon scenery\\ALPES\r\nLAYER=5\r\n"
      "[Area.001]\r\nTitle=Monde\r\nLocal=Scenery\\World\r\nActive=true\r\nLayer=1\r\n"
      "[Area.002]\r\nLocal=\r\nRemote=Scenery\\Remote\r\nActive=FALSE\r\nLayer=5\r\n"
      "[Area.004]\r\nTitle=Sans couche\r\nLocal=" +
      absolute +
      "\r\n"
      "[Area.010]\r\nTitle=Sans dossier\r\n");
  const SceneryConfig config = ParseSceneryConfig(cfg, "scenery.cfg", sim.Path());
  // Layer 5 twice: the order of the file; a missing Layer is the area's number.
  EXPECT_EQ(Titles(config), (std::vector<std::string>{"Monde|1", "Sans couche|4", "Scènes d'été|5",
                                                      "Area.002|5|off", "Sans dossier|10"}));
  const auto& areas = config.areas;
  const char d = platform::kPathDelimiter;
  EXPECT_EQ(areas[2].folder, In(sim, {"Addon Scenery", "Alpes"}) + d);  // found in any case
  EXPECT_EQ(areas[0].folder, In(sim, {"Scenery", "World"}) + d);        // kept as written
  EXPECT_EQ(areas[3].local, "Scenery\\Remote");
  EXPECT_EQ(areas[1].folder, absolute + d);
  EXPECT_EQ(areas[4].folder, "");
  EXPECT_EQ(areas[2].line, 5u);
}

TEST(SceneryConfigTest, ALineItCannotTakeIsNamedWithTheFile) {
  const struct {
    const char* text;
    const char* says;
  } rows[] = {
      {"[Area.001]\nTitle=A\nLocal\n", "ligne 3 : « Local » n'est ni un titre"},
      {"[Area.001\nTitle=A\n", "ligne 1 : « [Area.001 » n'a pas son « ] »"},
      {"Title=A\n[Area.001]\n", "ligne 1 : la clé « Title=A » n'est dans aucune section"},
      {"[Area.001]\r\nActive=Oui\r\n", "ligne 2 : Active vaut « Oui » ; TRUE ou FALSE"},
      {"[Area.001]\nLayer=deux\n", "ligne 2 : Layer vaut « deux » ; un nombre entier"},
  };
  for (const auto& row : rows) {
    try {
      ParseSceneryConfig(row.text, "C:\\FS9\\scenery.cfg", "/");
      ADD_FAILURE() << row.text;
    } catch (const Exception& e) {
      const std::string message = e.what();
      EXPECT_NE(
          message.find("\"C:\\FS9\\scenery.cfg\" est mal formé à la " + std::string(row.says)),
          std::string::npos)
          << message;
    }
  }
  test::TempFolder empty;
  try {
    ReadSceneryConfig(empty.Path());
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("Je ne trouve pas le fichier"), std::string::npos);
  }
}

// A library of four areas: Courchevel in three of them, two active and disagreeing.
class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Area("Scenery/World", "AP_Alpes.bgl", 2008000);
    Area("Addon Scenery/Courchevel", "LFLJ.bgl", 2006500);
    Area("Addon Scenery/Vieux", "LFLJ_2003.bgl", 1990000);
    fs::create_directories(test::Utf8Path(In(sim_, {"Addon Scenery", "Abimé", "scenery"})));
    test::WriteFile(In(sim_, {"Addon Scenery", "Abimé", "scenery", "casse.bgl"}),
                    {0x01, 0x02, 0x92, 0x19, 0xFF, 0xFF, 0, 0});
    test::WriteFile(In(sim_, {"Addon Scenery", "Abimé", "scenery", "ancien.bgl"}), {1, 0, 0, 0});
    const std::string cfg = test::Utf8ToCp1252(kCfg);  // as the simulator writes it
    test::WriteFile(sim_ / "scenery.cfg", test::Bytes(cfg.begin(), cfg.end()));
  }
  void Area(const std::string& local, const std::string& file, std::int64_t mm) {
    const std::string folder = sim_ / local + "/scenery";
    fs::create_directories(test::Utf8Path(folder));
    BglBuilder b;
    auto& ap = b.AddSection(3).AddSubSection().AddAirport().Name("Altiport de Courchevel");
    ap.Icao("LFLJ").Elevation(mm).Runway(4, 0, mm - 30000).Start(4, 0, mm - 30000);
    b.AddSection(3).AddSubSection().AddAirport().Name("Méribel").Icao("LFKX").Elevation(1716000);
    b.WriteTo(folder + "/" + file);
  }
  static constexpr char kCfg[] =
      "[Area.001]\r\nTitle=Monde\r\nLocal=Scenery\\World\r\nLayer=1\r\n"
      "[Area.002]\r\nTitle=Vieux\r\nLocal=Addon Scenery\\Vieux\r\nLayer=9\r\nActive=FALSE\r\n"
      "[Area.003]\r\nTitle=Courchevel\r\nLocal=Addon Scenery\\Courchevel\r\nLayer=3\r\n"
      "[Area.004]\r\nTitle=Absent\r\nLocal=Addon Scenery\\Absent\r\nLayer=4\r\n"
      "[Area.005]\r\nTitle=Abimé\r\nLocal=Addon Scenery\\Abimé\r\nLayer=2\r\n";
  Library Scan() { return ScanLibrary(ReadSceneryConfig(sim_.Path())); }
  std::int32_t FieldAt(const std::string& file, std::uint32_t offset) {
    const test::Bytes b = test::ReadFile(file);
    return static_cast<std::int32_t>(b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 |
                                     static_cast<std::uint32_t>(b[offset + 3]) << 24);
  }
  test::TempFolder sim_;
  test::TempFolder desktop_;
};

TEST_F(LibraryTest, AnAirportIsFoundInEveryAreaAndItsConflictWithTheDefinitionThatWins) {
  const Library library = Scan();
  // The missing area and the damaged file are reported; the older format is passed over.
  ASSERT_EQ(library.problems.size(), 2u) << library.problems[0].message;
  EXPECT_NE(library.problems[0].message.find("« Absent » n'existe pas"), std::string::npos)
      << library.problems[0].message << "\n"
      << library.problems[1].message;
  EXPECT_NE(library.problems[1].message.find("casse.bgl"), std::string::npos);
  EXPECT_NE(library.problems[1].message.find("endommagé"), std::string::npos);

  const std::vector<const Definition*> found = Where(library, "lflj");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(library.AreaOf(*found[0]).title, "Monde");
  EXPECT_EQ(library.AreaOf(*found[1]).title, "Courchevel");
  EXPECT_EQ(library.AreaOf(*found[2]).title, "Vieux");  // inactive, loaded last
  EXPECT_EQ(Shown(library, found), found[1]);
  EXPECT_FALSE(Agree(library, found));
  EXPECT_EQ(Where(library, "ALTIPORT DE COURCHEVEL").size(), 3u);
  EXPECT_EQ(Where(library, "LFL").size(), 0u);

  const std::vector<Conflict> conflicts = Conflicts(library, 500);
  ASSERT_EQ(conflicts.size(), 1u);  // Méribel agrees with itself
  EXPECT_EQ(conflicts[0].icao, "LFLJ");
  EXPECT_EQ(conflicts[0].spreadMm, 1500);
  EXPECT_EQ(conflicts[0].definitions, (std::vector<const Definition*>{found[0], found[1]}));
  EXPECT_TRUE(Conflicts(library, 1500).empty());
}

TEST_F(LibraryTest, AlignBringsEveryActiveDefinitionToOneValueOrWritesNothing) {
  const std::string world = In(sim_, {"Scenery", "World", "scenery", "AP_Alpes.bgl"});
  const std::string addon = In(sim_, {"Addon Scenery", "Courchevel", "scenery", "LFLJ.bgl"});
  const std::string old = In(sim_, {"Addon Scenery", "Vieux", "scenery", "LFLJ_2003.bgl"});
  const test::Bytes worldBefore = test::ReadFile(world), addonBefore = test::ReadFile(addon),
                    oldBefore = test::ReadFile(old);
  Library library = Scan();
  std::vector<const Definition*> active;
  for (const Definition* d : Where(library, "LFLJ")) {
    if (library.AreaOf(*d).active) active.push_back(d);
  }
  const std::vector<FieldChange> changes = PlanAlign(library, active, 2007000, true);
  ASSERT_EQ(changes.size(), 6u);  // the airport, its runway and its start, in two files

  // A read-only file among them: nothing is written, nothing copied.
  fs::permissions(test::Utf8Path(addon),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_THROW(Align(library, changes, desktop_.Path() + platform::kPathDelimiter, true, {}),
               Exception);
  fs::permissions(test::Utf8Path(addon), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(test::ReadFile(world), worldBefore);
  EXPECT_FALSE(fs::exists(test::Utf8Path(desktop_ / "QORBgl Backup")));

  std::vector<std::string> copies;
  std::size_t written = 0;
  library = Scan();  // the permission change counts as a change of the file
  active.clear();
  for (const Definition* d : Where(library, "LFLJ")) {
    if (library.AreaOf(*d).active) active.push_back(d);
  }
  Align(library, PlanAlign(library, active, 2007000, true),
        desktop_.Path() + platform::kPathDelimiter, true,
        {[&](const std::string&, const std::string& copy) { copies.push_back(copy); },
         [&](const FieldChange&) { ++written; }});
  EXPECT_EQ(written, 6u);
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(test::ReadFile(In(desktop_, {"QORBgl Backup", "AP_Alpes.bgl"})), worldBefore);
  EXPECT_EQ(test::ReadFile(In(desktop_, {"QORBgl Backup", "LFLJ.bgl"})), addonBefore);
  // Four bytes a field, nothing else.
  for (const auto& [file, before] :
       {std::pair{world, worldBefore}, std::pair{addon, addonBefore}}) {
    const test::Bytes after = test::ReadFile(file);
    ASSERT_EQ(after.size(), before.size());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < after.size(); ++i) differ += after[i] != before[i];
    EXPECT_LE(differ, 12u);
    EXPECT_GT(differ, 0u);
  }
  for (const FieldChange& c : changes) EXPECT_EQ(FieldAt(c.file, c.offset), 2007000) << c.what;
  EXPECT_EQ(test::ReadFile(old), oldBefore);  // the inactive area is left alone
  EXPECT_TRUE(Conflicts(Scan(), 500).empty());

  // A file changed since the scan is refused before anything is written.
  const Library stale = Scan();
  std::vector<const Definition*> again;
  for (const Definition* d : Where(stale, "LFLJ")) {
    if (stale.AreaOf(*d).active) again.push_back(d);
  }
  test::Bytes touched = test::ReadFile(addon);
  touched.push_back(0);
  test::WriteFile(addon, touched);
  EXPECT_THROW(Align(stale, PlanAlign(stale, again, 1000, false),
                     desktop_.Path() + platform::kPathDelimiter, false, {}),
               Exception);
  EXPECT_EQ(FieldAt(world, again[0]->offset), 2007000);
}

// Every file of an area that the scan cannot read is reported, naming the file and, when it
// is no BGL file of either format, the header word it starts with; only the older format
// ($0001) is passed over without a word.
TEST(LibraryScanTest, AFileThatIsNeitherFormatIsReportedAndLeavesAgreementOpen) {
  const struct {
    const char* what;
    test::Bytes bytes;
    const char* says;  // nullptr: passed over
  } rows[] = {
      {"zeros", test::Bytes(64, 0), "il commence par $0000, ni $0201"},
      {"random bytes",
       {0x5A, 0xC3, 0x17, 0x9E, 0x02, 0x88, 0x41, 0xF0, 0x33, 0x6B},
       "il commence par $C35A, ni $0201"},
      {"a later header", BglBuilder().HeaderWord(0x0301).Build(),
       "il commence par $0301, ni $0201"},
      {"one byte", {0x01}, "trop court pour contenir un en-tête (1 octet)"},
      {"the older format", {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF}, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    test::TempFolder sim;
    const std::string folder = In(sim, {"Zone", "scenery"});
    fs::create_directories(test::Utf8Path(folder));
    BglBuilder good;
    good.AddSection(3).AddSubSection().AddAirport().Name("Altiport").Icao("LFLJ").Elevation(2000);
    good.WriteTo(In(sim, {"Zone", "scenery", "a.bgl"}));
    const std::string odd = In(sim, {"Zone", "scenery", "b.bgl"});
    test::WriteFile(odd, row.bytes);
    test::WriteText(sim / "scenery.cfg", "[Area.001]\r\nTitle=Zone\r\nLocal=Zone\r\n");

    const Library library = ScanLibrary(ReadSceneryConfig(sim.Path()));
    const std::vector<const Definition*> found = Where(library, "LFLJ");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(Agree(library, found));  // among the files read
    if (row.says == nullptr) {
      EXPECT_TRUE(library.problems.empty()) << library.problems[0].message;
      EXPECT_EQ(ActiveProblems(library), 0u);
      continue;
    }
    ASSERT_EQ(library.problems.size(), 1u);
    EXPECT_EQ(library.problems[0].path, odd);
    EXPECT_NE(library.problems[0].message.find("\"" + odd + "\" est endommagé"), std::string::npos)
        << library.problems[0].message;
    EXPECT_NE(library.problems[0].message.find(row.says), std::string::npos)
        << library.problems[0].message;
    EXPECT_EQ(ActiveProblems(library), 1u);
  }
}

#ifndef _WIN32  // failing system calls are injected through the POSIX seam
// The calls of a user for whom the folder's permissions (mode 000) hold: the administrator
// who runs the tests reads it all the same.
class LockedFolder : public platform::SysCalls {
 public:
  explicit LockedFolder(std::string folder) : folder_(std::move(folder)) {}
  int Open(const char* path, int flags, mode_t mode) override {
    if (std::string_view(path).rfind(folder_, 0) == 0) {
      errno = EACCES;
      return -1;
    }
    return SysCalls::Open(path, flags, mode);
  }

 private:
  std::string folder_;
};

TEST(LibraryScanTest, AnAreaFolderThatCannotBeReadIsNotCalledMissing) {
  test::TempFolder sim;
  fs::create_directories(test::Utf8Path(In(sim, {"Verrou", "scenery"})));
  test::WriteText(sim / "scenery.cfg",
                  "[Area.001]\r\nTitle=Verrou\r\nLocal=Verrou\r\n"
                  "[Area.002]\r\nTitle=Ailleurs\r\nLocal=Ailleurs\r\nActive=FALSE\r\n");
  const std::string locked = In(sim, {"Verrou"});
  fs::permissions(test::Utf8Path(locked), fs::perms::none);
  LockedFolder calls(locked);
  Library library;
  {
    platform::ScopedSysCalls seam(calls);
    library = ScanLibrary(ReadSceneryConfig(sim.Path()));
  }
  fs::permissions(test::Utf8Path(locked), fs::perms::owner_all);
  ASSERT_EQ(library.problems.size(), 2u);
  EXPECT_NE(library.problems[0].message.find(
                "Le dossier de la zone « Verrou » ne peut pas être lu (accès refusé) : " + locked),
            std::string::npos)
      << library.problems[0].message;
  EXPECT_NE(library.problems[1].message.find("« Ailleurs » n'existe pas"), std::string::npos)
      << library.problems[1].message;
  EXPECT_EQ(ActiveProblems(library), 1u);  // the inactive area's does not count
}
#endif

}  // namespace
}  // namespace qor::library
