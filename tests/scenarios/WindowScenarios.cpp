// What a user does with the window, once for both windows. Each scenario makes its own files
// in the driver's workspace and checks what the window shows against what the libraries read.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "bgl/Bgl.h"
#include "bgl/PlainTree.h"
#include "platform/File.h"
#include "tests/scenarios/WindowDriver.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"
#include "workflow/FolderListing.h"
#include "workflow/FolderRows.h"

namespace qor::test {

namespace {

namespace fs = std::filesystem;
constexpr char kD = platform::kPathDelimiter;

std::string Join(const std::string& folder, const std::string& name) {
  return folder + kD + name;
}

// Airports "Aéroport N" of N km... elevations N × 100 m, each with a runway and a start.
Bytes WriteAirports(const std::string& path, int count, const std::string& ident = "") {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  for (int i = count; i > 0; --i) {
    auto& airport = sub.AddAirport()
                        .Name("Aéroport " + std::to_string(i))
                        .Elevation(100000 * i)
                        .Runway(9, 1, 100000 * i + 20000)
                        .Start(27, 2, 100000 * i - 30000);
    if (!ident.empty()) airport.Icao(ident + std::to_string(i));
  }
  return b.WriteTo(path);
}

// The scenery folder of the scenarios: three files, subfolders whose names differ in case and
// accents, and one more file in the subfolder "Alpha".
struct Scenery {
  std::string folder;
  std::vector<std::string> files;  // as the listing finds them
};

Scenery MakeScenery(WindowDriver& d) {
  Scenery s{Join(d.Workspace(), "Scènes d'essai"), {}};
  for (const char* sub : {"beta", "Alpha", "élan", "Zulu"}) {
    fs::create_directories(Utf8Path(Join(s.folder, sub)));
  }
  WriteAirports(Join(s.folder, "a.bgl"), 3, "LFA");
  WriteAirports(Join(s.folder, "b.bgl"), 1, "LFB");
  WriteAirports(Join(s.folder, "c.bgl"), 2, "LFC");
  WriteText(Join(s.folder, "notes.txt"), "pas un BGL");
  WriteAirports(Join(Join(s.folder, "Alpha"), "alpha.bgl"), 1);
  s.files = FolderListing(s.folder).All();
  return s;
}

std::vector<std::string> ExpectedTree(WindowDriver& d, const std::string& file) {
  PlainTree tree;
  TBGL(file, d.Desktop()).FillTree(tree);
  std::vector<std::string> lines;
  for (const auto& line : tree.Lines())
    lines.push_back((line.depth ? "   " : "") + line.item->text);
  return lines;
}

std::size_t IndexOf(const std::vector<std::string>& list, const std::string& item) {
  return static_cast<std::size_t>(std::find(list.begin(), list.end(), item) - list.begin());
}

std::int32_t FieldAt(const Bytes& bytes, std::uint32_t at) {
  return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                   static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// Opens the first file of the scenery on the elevation page.
std::string OpenFirst(WindowDriver& d, const Scenery& s) {
  d.Start(s.folder);
  d.ClickTab(1);
  d.ChooseFile(0);
  const std::string file = Join(s.folder, s.files[0]);
  EXPECT_EQ(d.FileField(), file);
  return file;
}

void FolderRowsAndEnter(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  d.Start(s.folder);
  EXPECT_EQ(d.Files(), s.files);
  // The rows the workflow makes, in the system's collation: letter case and accents aside.
  std::vector<std::string> expected;
  for (const FolderRow& row : ReadFolderRows(s.folder).rows) expected.push_back(row.text);
  ASSERT_EQ(d.FolderRows(), expected);
  const std::vector<std::string> rows = d.FolderRows();
  EXPECT_LT(IndexOf(rows, "Alpha"), IndexOf(rows, "beta"));
  EXPECT_LT(IndexOf(rows, "beta"), IndexOf(rows, "élan"));
  EXPECT_LT(IndexOf(rows, "élan"), IndexOf(rows, "Zulu"));
  EXPECT_EQ(rows[d.CurrentFolderRow()], "Scènes d'essai");

  // Enter on a subfolder enters it; a double-click on its parent's row comes back.
  d.EnterFolderRow(IndexOf(rows, "Alpha"), Gesture::Enter);
  EXPECT_EQ(d.Files(), std::vector<std::string>{"alpha.bgl"});
  EXPECT_EQ(d.FolderRows()[d.CurrentFolderRow()], "Alpha");
  d.EnterFolderRow(d.CurrentFolderRow() - 1, Gesture::DoubleClick);
  EXPECT_EQ(d.Files(), s.files);
}

void FileOpensSortedTree(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const std::string file = OpenFirst(d, s);
  EXPECT_EQ(d.TreeLines(), ExpectedTree(d, file));
  EXPECT_EQ(d.Status(), "Double-clic sur la ligne à modifier.");
  EXPECT_EQ(d.SelectedFile(), std::optional<std::size_t>(0));
}

// Each gesture edits its own line; four bytes change, the copy on the desktop is the file as
// it was, and the keyboard is back on the line edited.
void EditByEveryGesture(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const std::string file = OpenFirst(d, s);
  const Bytes before = ReadFile(file);
  const std::vector<std::string> lines = d.TreeLines();
  std::vector<std::size_t> runways;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("   Runway", 0) == 0) runways.push_back(i);
  }
  ASSERT_GE(runways.size(), 3u);
  const Gesture gestures[] = {Gesture::DoubleClick, Gesture::Enter, Gesture::F2};
  for (int g = 0; g < 3; ++g) {
    const std::size_t line = runways[static_cast<std::size_t>(g)];
    std::vector<Answer> answers = {{"Modification d'élévation", Answer::Ok, "433,5"},
                                   {"Attention", Answer::Ok}};
    if (g == 0) answers.push_back({"QORBgl", Answer::Ok});  // the backup copy, said once
    d.Expect(answers);
    d.EditLine(line, gestures[g]);
    const std::vector<Shown> shown = d.Answered();
    ASSERT_EQ(shown.size(), answers.size()) << "gesture " << g;
    EXPECT_NE(shown[1].text.find("433,500"), std::string::npos) << shown[1].text;
    if (g == 0) {
      EXPECT_NE(shown[2].text.find("QORBgl Backup"), std::string::npos);
    }
    EXPECT_TRUE(d.TreeHasFocus()) << "gesture " << g;
    EXPECT_EQ(d.SelectedLine(), std::optional<std::size_t>(line)) << "gesture " << g;
    EXPECT_NE(d.TreeLines()[line].find("433,500"), std::string::npos) << d.TreeLines()[line];
  }
  const Bytes after = ReadFile(file);
  ASSERT_EQ(after.size(), before.size());
  std::size_t changed = 0;
  for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
  EXPECT_LE(changed, 12u);
  EXPECT_EQ(ReadFile(Join(Join(d.Desktop(), "QORBgl Backup"), s.files[0])), before);
  EXPECT_EQ(d.TreeLines(), ExpectedTree(d, file));
}

void MalformedValueAndUndo(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const std::string file = OpenFirst(d, s);
  const Bytes before = ReadFile(file);
  // Refused, the box comes again; nothing is written.
  d.Expect({{"Modification d'élévation", Answer::Ok, "abc"},
            {"QORBgl", Answer::Ok},
            {"Modification d'élévation", Answer::Cancel}});
  d.EditLine(0, Gesture::Enter);
  const std::vector<Shown> refused = d.Answered();
  ASSERT_EQ(refused.size(), 3u);
  EXPECT_NE(refused[1].text.find("« abc »"), std::string::npos) << refused[1].text;
  EXPECT_EQ(ReadFile(file), before);

  // Written, then taken back with Ctrl+Z after a question.
  d.Expect({{"Modification d'élévation", Answer::Ok, "105"},
            {"QORBgl", Answer::Ok},  // the backup copy
            {"Autres éléments", Answer::No}});
  d.EditLine(0, Gesture::DoubleClick);
  EXPECT_EQ(d.Answered().size(), 3u);
  EXPECT_NE(ReadFile(file), before);
  d.Expect({{"Défaire", Answer::Yes}, {"QORBgl", Answer::Ok}});
  d.PressCtrlZ();
  const std::vector<Shown> undone = d.Answered();
  ASSERT_EQ(undone.size(), 2u);
  EXPECT_NE(undone[1].text.find("1 altitude a repris sa valeur"), std::string::npos);
  EXPECT_EQ(ReadFile(file), before);
}

// A search keeps the files of the airport and the choice made; a click on the folder lists them
// all again, and the status line stops speaking of the search.
void SearchAndStatus(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  d.Start(s.folder);
  const std::size_t b = IndexOf(s.files, "b.bgl");
  d.ChooseFile(b);
  d.Expect({{"Recherche", Answer::Ok, "lfb1"}});
  d.Search();
  ASSERT_EQ(d.Answered().size(), 1u);
  EXPECT_EQ(d.Files(), std::vector<std::string>{"b.bgl"});
  EXPECT_EQ(d.SelectedFile(), std::optional<std::size_t>(0));
  EXPECT_EQ(d.Status(), "« lfb1 » : 1 fichier sur 3. Un clic sur le dossier les montre tous.");
  d.ClickFolderRow(d.CurrentFolderRow());
  EXPECT_EQ(d.Files(), s.files);
  EXPECT_EQ(d.SelectedFile(), std::optional<std::size_t>(b));
  EXPECT_EQ(d.Status().find("lfb1"), std::string::npos) << d.Status();
}

void HandOverAndPages(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  d.Start(s.folder);
  const std::string other = Join(Join(s.folder, "Alpha"), "alpha.bgl");
  EXPECT_EQ(d.StartSecond("  " + other + " "), 0);
  EXPECT_EQ(d.FileField(), other);
  EXPECT_EQ(d.Files(), std::vector<std::string>{"alpha.bgl"});
  // Ctrl+Tab goes round the pages.
  const int first = d.Page();
  for (int i = 1; i <= 3; ++i) {
    d.PressCtrlTab();
    EXPECT_EQ(d.Page(), (first + i) % 3);
  }
}

// The library page: a conflict aligned and taken back, each definition's elevation in sight,
// and a double-click that opens the definition's line.
struct Simulator {
  std::string folder;
  struct Area {
    std::string file;
    std::uint32_t offset;
    Bytes before;
  };
  std::vector<Area> areas;
};

Simulator MakeSimulator(WindowDriver& d) {
  Simulator sim{Join(d.Workspace(), "Simulateur"), {}};
  struct Spec {
    const char* folder;
    const char* title;
    bool active;
    std::int64_t mm;
  };
  const Spec specs[] = {{"Stock", "Scènes d'origine", true, 2006000},
                        {"Addon", "Courchevel détaillé", true, 2008500},
                        {"Ancien", "Ancien décor", false, 1990000}};
  std::string cfg = "[General]\r\nTitle=FS2004 World Scenery\r\n";
  int n = 0;
  for (const Spec& spec : specs) {
    const std::string scenery = Join(Join(sim.folder, spec.folder), "scenery");
    fs::create_directories(Utf8Path(scenery));
    BglBuilder b;
    Airport& airport = b.AddSection(3).AddSubSection().AddAirport().Name("Altiport de Courchevel");
    airport.Icao("LFLJ").At(45.3967, 6.6347).Elevation(spec.mm).Runway(4, 0, spec.mm);
    const std::string file = Join(scenery, std::string("AP_LFLJ_") + spec.folder + ".bgl");
    Bytes bytes = b.WriteTo(file);
    sim.areas.push_back({file, airport.elevationOffset, std::move(bytes)});
    ++n;
    cfg += "\r\n[Area.00" + std::to_string(n) + "]\r\nTitle=" + spec.title +
           "\r\nLocal=" + spec.folder + "\r\nLayer=" + std::to_string(n) +
           "\r\nActive=" + (spec.active ? "TRUE" : "FALSE") + "\r\n";
  }
  WriteText(Join(sim.folder, "scenery.cfg"), Utf8ToCp1252(cfg));
  return sim;
}

void LibraryAlignUndoAndOpen(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const Simulator sim = MakeSimulator(d);
  d.Start(s.folder);
  d.ClickTab(2);
  d.SetSimulatorField(sim.folder);
  d.Load();
  ASSERT_EQ(d.Rows(LibraryList::Areas).size(), 3u);
  ASSERT_EQ(d.Rows(LibraryList::Conflicts).size(), 1u);
  EXPECT_EQ(d.Rows(LibraryList::Conflicts)[0][0], "LFLJ");

  d.Lookup("lflj");
  const auto rows = d.Rows(LibraryList::Definitions);
  ASSERT_EQ(rows.size(), 3u);
  const std::vector<std::string> columns = d.Columns(LibraryList::Definitions);
  const std::size_t elevation = IndexOf(columns, "Altitude (m)");
  ASSERT_LT(elevation, columns.size());
  EXPECT_TRUE(d.ColumnVisible(LibraryList::Definitions, elevation));
  EXPECT_EQ(rows[1][elevation], "2 008,500");
  EXPECT_EQ(d.LibrarySummary().rfind("3 définitions ; les actives ne s'accordent pas", 0), 0u)
      << d.LibrarySummary();

  // Aligned, the conflict goes; each active file changed in its field only.
  d.SelectConflict(0);
  EXPECT_TRUE(d.AlignEnabled());
  d.Expect({{"Aligner les altitudes", Answer::Ok, "2007"},
            {"Autres éléments", Answer::No},
            {"Aligner les altitudes", Answer::Ok}});
  d.Align();
  const std::vector<Shown> asked = d.Answered();
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_NE(asked[0].text.find("d'Altiport de Courchevel"), std::string::npos) << asked[0].text;
  EXPECT_NE(asked[2].text.find("2 fichiers"), std::string::npos) << asked[2].text;
  EXPECT_TRUE(d.Rows(LibraryList::Conflicts).empty());
  for (std::size_t a = 0; a < 3; ++a) {
    const Bytes after = ReadFile(sim.areas[a].file);
    EXPECT_EQ(FieldAt(after, sim.areas[a].offset), a < 2 ? 2007000 : 1990000) << a;
  }
  // Taken back, the conflict returns.
  d.Expect({{"Annuler l'alignement", Answer::Yes}, {"QORBgl", Answer::Ok}});
  d.UndoAlignment();
  EXPECT_EQ(d.Answered().size(), 2u);
  EXPECT_EQ(d.Rows(LibraryList::Conflicts).size(), 1u);
  for (const Simulator::Area& area : sim.areas) EXPECT_EQ(ReadFile(area.file), area.before);

  // A definition opened: its file on the elevation page, its airport's line chosen.
  d.Lookup("lflj");
  d.OpenDefinition(1, Gesture::DoubleClick);
  EXPECT_EQ(d.Page(), 1);
  EXPECT_EQ(d.FileField(), sim.areas[1].file);
  EXPECT_EQ(d.SelectedLine(), std::optional<std::size_t>(0));
  EXPECT_TRUE(d.TreeHasFocus());
  // From the keyboard too: Enter on another definition opens its file.
  d.ClickTab(2);
  d.OpenDefinition(0, Gesture::Enter);
  EXPECT_EQ(d.Page(), 1);
  EXPECT_EQ(d.FileField(), sim.areas[0].file);
  EXPECT_EQ(d.SelectedLine(), std::optional<std::size_t>(0));
}

// The real-world list: its elevation beside each definition and in the conflicts, a conflict of
// its own once the definitions agree, offered first by "Aligner", and kept for the next run.
void ReferenceShownAndOfferedFirst(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const Simulator sim = MakeSimulator(d);
  const std::string list = Join(d.Workspace(), "airports.csv");
  // 6588 ft: 2 008,022 m; the add-on shows 2 008,500 m, too near to differ by itself.
  WriteText(list,
            "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\","
            "\"elevation_ft\",\"gps_code\"\n"
            "1,\"LFLJ\",\"small_airport\",\"Courchevel Altiport\",45.3967,6.6347,6588,\"LFLJ\"\n");
  d.Start(s.folder);
  d.ClickTab(2);
  d.SetSimulatorField(sim.folder);
  d.Load();
  d.SetReferenceField(list);
  const std::vector<std::string> conflictColumns = d.Columns(LibraryList::Conflicts);
  const std::size_t conflictReference = IndexOf(conflictColumns, "Référence (m)");
  ASSERT_LT(conflictReference, conflictColumns.size());
  ASSERT_EQ(d.Rows(LibraryList::Conflicts).size(), 1u);
  EXPECT_EQ(d.Rows(LibraryList::Conflicts)[0][conflictReference], "2 008,022");

  d.Lookup("lflj");
  const std::vector<std::string> columns = d.Columns(LibraryList::Definitions);
  const std::size_t reference = IndexOf(columns, "Référence (m)");
  ASSERT_LT(reference, columns.size());
  EXPECT_TRUE(d.ColumnVisible(LibraryList::Definitions, reference));
  for (const auto& row : d.Rows(LibraryList::Definitions)) EXPECT_EQ(row[reference], "2 008,022");
  EXPECT_NE(d.LibrarySummary().find("Référence OurAirports : 2 008,022 m (6588 ft)."),
            std::string::npos)
      << d.LibrarySummary();

  // Aligned elsewhere than the reference: the definitions agree, the reference does not.
  d.SelectConflict(0);
  d.Expect({{"Aligner les altitudes", Answer::Ok, "2007"},
            {"Autres éléments", Answer::No},
            {"Aligner les altitudes", Answer::Ok}});
  d.Align();
  std::vector<Shown> asked = d.Answered();
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].offered, "2008,022");
  ASSERT_EQ(d.Rows(LibraryList::Conflicts).size(), 1u);
  const std::vector<std::string> conflict = d.Rows(LibraryList::Conflicts)[0];
  EXPECT_EQ(conflict[IndexOf(conflictColumns, "Écart (m)")], "");
  EXPECT_EQ(conflict[IndexOf(conflictColumns, "Altitude affichée (m)")], "2 007,000");

  // The reference's own elevation, as offered: nothing left to say.
  d.SelectConflict(0);
  d.Expect({{"Aligner les altitudes", Answer::Ok},
            {"Autres éléments", Answer::No},
            {"Aligner les altitudes", Answer::Ok}});
  d.Align();
  asked = d.Answered();
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].offered, "2008,022");
  EXPECT_TRUE(d.Rows(LibraryList::Conflicts).empty());
  for (std::size_t a = 0; a < 2; ++a) {
    EXPECT_EQ(FieldAt(ReadFile(sim.areas[a].file), sim.areas[a].offset), 2008022) << a;
  }
  d.Close();
  d.Start("");
  EXPECT_EQ(d.Page(), 2);
  EXPECT_EQ(d.ReferenceField(), list);
}

// In the tests' pseudo-language every text of the program is in brackets and a third longer:
// one without brackets bypasses the translations, one cut has no room for a longer language.
void EveryTextTranslatedAndWhole(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const Simulator sim = MakeSimulator(d);
  d.SetStartLanguage("qps");
  d.Start(s.folder);
  const auto check = [&](const std::string& where) {
    for (const std::string& text : d.ShownTexts()) {
      EXPECT_TRUE(text.size() >= 2 && text.front() == '[' && text.back() == ']')
          << where << ": " << text;
    }
    EXPECT_EQ(d.CutTexts(), std::vector<std::string>{}) << where;
    EXPECT_EQ(d.OverlappingControls(), std::vector<std::string>{}) << where;
    EXPECT_EQ(d.ControlsOutOfReach(), std::vector<std::string>{}) << where;
  };
  check("the help page");
  d.ClickTab(1);
  d.ChooseFile(0);
  check("the elevation page");
  d.ClickTab(2);
  d.SetSimulatorField(sim.folder);
  d.Load();
  d.Lookup("lflj");
  d.SelectConflict(0);
  check("the library page");
  d.SetStartLanguage("fr");
}

void SettingsKept(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  const Simulator sim = MakeSimulator(d);
  d.Start(s.folder);
  d.EnterFolderRow(IndexOf(d.FolderRows(), "Alpha"), Gesture::DoubleClick);
  d.ClickTab(2);
  d.SetSimulatorField(sim.folder);
  d.Load();
  d.Close();
  d.Start("");
  EXPECT_EQ(d.Files(), std::vector<std::string>{"alpha.bgl"});
  EXPECT_EQ(d.Page(), 2);
  EXPECT_EQ(d.SimulatorField(), sim.folder);
}

void FrameAndKeys(WindowDriver& d) {
  const Scenery s = MakeScenery(d);
  d.Start(s.folder);
  for (int page = 0; page < 3; ++page) {
    d.ClickTab(page);
    d.ResizeTo(200, 150);
    EXPECT_EQ(d.ControlsOutOfReach(), std::vector<std::string>{}) << "page " << page;
    d.Maximise();
    d.Restore();
    EXPECT_EQ(d.ControlsOutOfReach(), std::vector<std::string>{}) << "page " << page;
    EXPECT_EQ(d.WithoutAccessKey(), std::vector<std::string>{}) << "page " << page;
  }
}

}  // namespace

const std::vector<Scenario>& WindowScenarios() {
  static const std::vector<Scenario> scenarios = {
      {"FolderRowsInOneOrderAndEnterEntersAFolder", FolderRowsAndEnter},
      {"AFileOpensItsSortedTree", FileOpensSortedTree},
      {"EveryGestureEditsALineAndTheFocusComesBack", EditByEveryGesture},
      {"AMalformedValueIsRefusedAndCtrlZTakesBackAChange", MalformedValueAndUndo},
      {"ASearchKeepsTheChoiceAndTheStatusStaysTrue", SearchAndStatus},
      {"ASecondStartHandsOverAndCtrlTabChangesPages", HandOverAndPages},
      {"TheLibraryAlignsUndoesAndOpensTheDefinitionsLine", LibraryAlignUndoAndOpen},
      {"TheReferenceListIsShownAndOfferedFirst", ReferenceShownAndOfferedFirst},
      {"EveryTextIsTranslatedAndShowsWhole", EveryTextTranslatedAndWhole},
      {"FolderPageAndSimulatorComeBackAtTheNextStart", SettingsKept},
      {"TheFrameKeepsItsMinimumAndEveryControlHasAnAccessKey", FrameAndKeys},
  };
  return scenarios;
}

}  // namespace qor::test
