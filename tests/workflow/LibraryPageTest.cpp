// The library page's workflow driven as a user drives the page, without a display: what each
// list is given, and when an alignment writes and when it must not.

#include "workflow/LibraryPage.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lang/Language.h"
#include "library/Journal.h"
#include "platform/File.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/ScriptedUser.h"
#include "tests/support/TempFolder.h"
#include "tests/workflow/FrontEndDouble.h"
#include "util/Environment.h"
#include "util/NumberFormat.h"
#include "util/Settings.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

class RecordingLibraryView : public LibraryView {
 public:
  void ShowSimulatorFolder(const std::string& f) override { folder = f; }
  void ShowReferenceFile(const std::string& f) override { reference = f; }
  void ShowAreas(const std::vector<LibraryRow>& rows) override { areas = rows; }
  void ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& s) override {
    definitions = rows;
    summary = s;
  }
  void ShowConflicts(const std::vector<LibraryRow>& rows) override { conflicts = rows; }
  void SetLibraryStatus(const std::string& text) override { status = text; }
  void SetLibraryBusy(bool b) override { busy = b; }

  std::string folder, reference, summary, status;
  std::vector<LibraryRow> areas, definitions, conflicts;
  bool busy = false;
};

class LibraryPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(test::Utf8Path(dir_ / "Bureau"));
    // A settings store of the test's own: the folder and the list kept are its alone (on
    // Windows the registry is the one store: what an earlier test kept there is cleared).
    test::SetEnv("XDG_CONFIG_HOME", dir_ / "config");
    WriteSetting("Simulateur", "");
    WriteSetting("Reference", "");
    SetEnvironment("QORBgl", dir_.Path() + platform::kPathDelimiter,
                   (dir_ / "Bureau") + platform::kPathDelimiter);
    SetNumberSymbols({",", " "});
    // Courchevel in four areas of one file each, three of them active and disagreeing.
    std::string cfg;
    for (int a = 1; a <= 4; ++a) {
      const std::string area = "Zone" + std::to_string(a);
      fs::create_directories(test::Utf8Path(dir_ / area + "/scenery"));
      test::BglBuilder b;
      b.AddSection(3)
          .AddSubSection()
          .AddAirport()
          .Name("Courchevel")
          .Icao("LFLJ")
          .Elevation(2000000 + 1000 * a);
      files_.push_back(dir_ / area + platform::kPathDelimiter + "scenery" +
                       platform::kPathDelimiter + "lflj" + std::to_string(a) + ".bgl");
      b.WriteTo(files_.back());
      cfg += "[Area.00" + std::to_string(a) + "]\nTitle=" + area + "\nLocal=" + area +
             "\nLayer=" + std::to_string(a) + (a == 4 ? "\nActive=FALSE\n" : "\n");
    }
    test::WriteFile(dir_ / "scenery.cfg", test::Bytes(cfg.begin(), cfg.end()));
  }
  std::vector<std::string> Column(const std::vector<LibraryRow>& rows, std::size_t cell) {
    std::vector<std::string> column;
    for (const LibraryRow& row : rows) column.push_back(row.cells.at(cell));
    return column;
  }

  test::TempFolder dir_;
  std::vector<std::string> files_;
  RecordingLibraryView view_;
  test::ScriptedUser user_;
  test::StepQueue steps_;
  LibraryPage page_{view_, user_, steps_};
};

TEST_F(LibraryPageTest, AConflictIsAlignedOnlyOnAWholeLibraryAndThenGoes) {
  const std::vector<test::Bytes> before = {test::ReadFile(files_[0]), test::ReadFile(files_[3])};
  // A reading stopped after its first step: shown, but not aligned.
  page_.Load(dir_.Path());
  EXPECT_TRUE(view_.busy);
  steps_.RunOne();
  page_.Cancel();
  EXPECT_FALSE(view_.busy);
  EXPECT_NE(view_.status.find("lecture arrêtée avant la fin"), std::string::npos) << view_.status;
  page_.AlignConflict(0);
  EXPECT_TRUE(user_.asked.empty());

  page_.Load(dir_.Path());
  steps_.RunAll();
  EXPECT_EQ(Column(view_.areas, 1), (std::vector<std::string>{"Zone1", "Zone2", "Zone3", "Zone4"}));
  EXPECT_EQ(Column(view_.areas, 2),
            (std::vector<std::string>{"active", "active", "active", "inactive"}));
  page_.Lookup("lflj");
  EXPECT_EQ(Column(view_.definitions, 0), (std::vector<std::string>{"", "", "oui", ""}));
  EXPECT_TRUE(view_.definitions[2].marked);
  EXPECT_EQ(view_.definitions[3].cells[3], "Zone4 (inactive)");
  EXPECT_EQ(view_.summary,
            "4 définitions ; les actives ne s'accordent pas : le simulateur "
            "montre 2 003,000 m (zone « Zone3 »).");
  EXPECT_EQ(page_.DefinitionFile(1), files_[1]);
  ASSERT_EQ(view_.conflicts.size(), 1u);
  EXPECT_EQ(view_.conflicts[0].cells,
            (std::vector<std::string>{"LFLJ", "Courchevel", "3", "2,000", "2 003,000", ""}));

  // A malformed value is refused and asked again; the shown elevation is offered first.
  // Airports without runways or starts: no question about them, only the confirmation.
  user_.inputs = {std::string("2 km"), std::string("2010,5")};
  user_.script.answers = {UserDialog::kIdOk};
  page_.AlignConflict(0);
  ASSERT_EQ(user_.asked.size(), 2u);
  EXPECT_EQ(user_.asked[0].text, "2003,000");
  steps_.RunAll();
  for (std::size_t i = 0; i < 3; ++i) {
    const test::Bytes b = test::ReadFile(files_[i]);
    const std::uint32_t offset = 112;  // the first airport's elevation field
    EXPECT_EQ(b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | b[offset + 3] << 24, 2010500)
        << files_[i];
  }
  EXPECT_EQ(test::ReadFile(files_[3]), before[1]);  // the inactive area is left alone
  EXPECT_EQ(test::ReadFile(dir_ / "Bureau/QORBgl Backup/lflj1.bgl"), before[0]);
  EXPECT_TRUE(view_.conflicts.empty());
  EXPECT_EQ(view_.summary, "4 définitions ; les actives s'accordent sur 2 010,500 m.");
}

// The real-world list: refused when it cannot be read, not taken when stopped, then read,
// shown in both lists and kept; a page shown later reads it again after the library.
TEST_F(LibraryPageTest, TheReferenceListIsReadKeptAndShownBesideTheDefinitions) {
  page_.Show();
  EXPECT_EQ(view_.reference, "");
  page_.LoadReference(dir_ / "absent.csv");
  ASSERT_EQ(user_.script.questions.size(), 1u);
  EXPECT_EQ(view_.status, "La référence n'a pas pu être lue.");
  EXPECT_FALSE(page_.Working());

  // 6575 ft: 2 004,060 m, where the library shows 2 003,000 m.
  const std::string list = dir_ / "airports.csv";
  test::WriteText(list,
                  "ident,name,latitude_deg,longitude_deg,elevation_ft\n"
                  "LFLJ,Courchevel Altiport,14.8974609375,39.697265625,6575\n");
  page_.Load(dir_.Path());
  steps_.RunAll();
  page_.LoadReference(list);
  EXPECT_TRUE(view_.busy);
  page_.Cancel();
  EXPECT_FALSE(view_.busy);
  EXPECT_EQ(view_.status, "Lecture de la référence arrêtée : aucune référence.");
  EXPECT_EQ(view_.conflicts.at(0).cells.at(5), "");

  page_.LoadReference(" " + list + " ");
  steps_.RunAll();
  EXPECT_EQ(
      view_.conflicts.at(0).cells,
      (std::vector<std::string>{"LFLJ", "Courchevel", "3", "2,000", "2 003,000", "2 004,060"}));
  page_.Lookup("LFLJ");
  EXPECT_EQ(Column(view_.definitions, 2),
            (std::vector<std::string>{"2 004,060", "2 004,060", "2 004,060", "2 004,060"}));
  EXPECT_NE(view_.summary.find("Référence OurAirports : 2 004,060 m (6575 ft)."), std::string::npos)
      << view_.summary;

  RecordingLibraryView later;
  LibraryPage again(later, user_, steps_);
  again.Show();
  EXPECT_EQ(later.reference, list);
  again.Load(dir_.Path());
  steps_.RunAll();
  EXPECT_EQ(later.conflicts.at(0).cells.at(5), "2 004,060");
}

// "Annuler": the last alignment taken back after a question, whoever made it, and the library
// read again; nothing to take back is said so.
TEST_F(LibraryPageTest, AnnulerTakesBackTheLastAlignment) {
  library::Journal journal(dir_ / "journal");
  const ScopedJournal inPlace(journal);
  std::vector<test::Bytes> before;
  for (const std::string& f : files_) before.push_back(test::ReadFile(f));
  page_.UndoAlignment();
  ASSERT_EQ(user_.messages.size(), 1u);
  EXPECT_NE(user_.messages[0].find("aucun alignement"), std::string::npos) << user_.messages[0];

  page_.Load(dir_.Path());
  steps_.RunAll();
  user_.inputs = {std::string("2010")};
  user_.script.answers = {UserDialog::kIdOk};
  page_.AlignConflict(0);
  steps_.RunAll();
  ASSERT_TRUE(view_.conflicts.empty());

  user_.script.answers = {UserDialog::kIdNo, UserDialog::kIdYes};
  page_.UndoAlignment();  // asked, refused
  EXPECT_NE(test::ReadFile(files_[0]), before[0]);
  page_.UndoAlignment();
  steps_.RunAll();
  const auto& asked = user_.script.questions;
  ASSERT_GE(asked.size(), 2u);
  EXPECT_EQ(asked.back().caption, "Annuler l'alignement");
  EXPECT_NE(asked.back().text.find("3 altitudes reprendront leur valeur d'avant, dans 3 fichiers"),
            std::string::npos)
      << asked.back().text;
  for (std::size_t i = 0; i < files_.size(); ++i) EXPECT_EQ(test::ReadFile(files_[i]), before[i]);
  EXPECT_NE(user_.messages.back().find("3 altitudes ont repris leur valeur d'avant"),
            std::string::npos)
      << user_.messages.back();
  EXPECT_EQ(view_.conflicts.size(), 1u);  // read again: the conflict is back
}

// Captions, states, statuses, summaries and questions in the language of the moment they are
// made: the page follows a language chosen while it is open.
TEST_F(LibraryPageTest, ThePageSpeaksTheLanguageChosenWhenItSpeaks) {
  const struct {
    lang::Language language;
    std::vector<std::string> columns;
    std::string status, state, inactive, summary, caption, refused;
  } rows[] = {
      {lang::Language::kFrench,
       {"Couche", "Zone", "État", "Fichiers", "Dossier"},
       "4 zones, 4 définitions d'aéroports, 1 conflit d'altitude.",
       "inactive",
       "Zone4 (inactive)",
       "4 définitions ; les actives ne s'accordent pas : le simulateur montre 2 003,000 m (zone « "
       "Zone3 »).",
       "Aligner les altitudes",
       "« 2 km » n'est pas un nombre de mètres.\r\n\r\nTapez l'altitude en mètres, par exemple "
       "433,5.\r\n\r\nJe n'ai rien écrit."},
      {lang::Language::kEnglish,
       {"Layer", "Area", "State", "Files", "Folder"},
       "4 areas, 4 airport definitions, 1 elevation conflict.",
       "inactive",
       "Zone4 (inactive)",
       "4 definitions; the active ones disagree: the simulator shows 2 003,000 m (area \"Zone3\").",
       "Align the elevations",
       "\"2 km\" is not a number of metres.\r\n\r\nType the elevation in metres, for example "
       "433,5.\r\n\r\nI have written nothing."},
      {lang::Language::kGerman,
       {"Ebene", "Bereich", "Status", "Dateien", "Ordner"},
       "4 Bereiche, 4 Flughafendefinitionen, 1 Höhenkonflikt.",
       "inaktiv",
       "Zone4 (inaktiv)",
       "4 Definitionen; die aktiven stimmen nicht überein: Der Simulator zeigt 2 003,000 m "
       "(Bereich „Zone3“).",
       "Höhen angleichen",
       "„2 km“ ist keine Meterangabe.\r\n\r\nGeben Sie die Höhe in Metern ein, zum Beispiel "
       "433,5.\r\n\r\nIch habe nichts geschrieben."},
  };
  struct FrenchAfter {
    ~FrenchAfter() { lang::SetCurrent(lang::Language::kFrench); }
  } frenchAfter;
  RecordingLibraryView view;
  LibraryPage page(view, user_, steps_);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(lang::Code(row.language)));
    lang::SetCurrent(row.language);
    EXPECT_EQ(LibraryPage::AreaColumns(), row.columns);
    EXPECT_EQ(LibraryPage::DefinitionColumns().size(), 8u);
    EXPECT_EQ(LibraryPage::ConflictColumns().size(), 6u);
    page.Load(dir_.Path());
    steps_.RunAll();
    EXPECT_EQ(view.status, row.status);
    ASSERT_EQ(view.areas.size(), 4u);
    EXPECT_EQ(view.areas[3].cells[2], row.state);
    page.Lookup("LFLJ");
    ASSERT_EQ(view.definitions.size(), 4u);
    EXPECT_EQ(view.definitions[3].cells[3], row.inactive);
    EXPECT_EQ(view.summary, row.summary);
    user_.asked.clear();
    user_.messages.clear();
    user_.inputs = {std::string("2 km"), std::nullopt};
    page.AlignConflict(0);
    ASSERT_EQ(user_.asked.size(), 2u);
    EXPECT_EQ(user_.asked[0].caption, row.caption);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(user_.messages[0], row.refused);
  }
}

}  // namespace
}  // namespace qor
