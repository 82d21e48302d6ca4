// The window's workflow driven as a user would drive the window, without a display.

#include "workflow/WindowWorkflow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "bgl/Bgl.h"
#include "bgl/Change.h"
#include "library/Journal.h"
#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/Process.h"
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
using test::BglBuilder;

// An answer that presses Enter: the button the box's flags make the default, as Windows does.
constexpr int kEnter = 0;

class KeyboardUser : public test::ScriptedUser {
 public:
  int MsgBox(const std::string& text, const std::string& caption, int flags) override {
    const int answer = ScriptedUser::MsgBox(text, caption, flags);
    if (answer != kEnter) return answer;
    const bool second = (flags & UserDialog::kDefButton2) != 0;
    switch (flags & 0x0F) {
      case UserDialog::kYesNo:
        return second ? UserDialog::kIdNo : UserDialog::kIdYes;
      case UserDialog::kOkCancel:
        return second ? UserDialog::kIdCancel : UserDialog::kIdOk;
      default:
        return UserDialog::kIdOk;
    }
  }
};

class WindowWorkflowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A settings store of each test's own: two tests run at once must not read each other's.
    test::SetEnv("XDG_CONFIG_HOME", Folder("config"));
    SetEnvironment("QORBgl", Folder("app"), Folder("Desktop"));
    SetNumberSymbols({",", " "});
  }

  std::string Folder(const std::string& name) {
    const std::string folder = dir_ / name;
    fs::create_directories(folder);
    return folder + platform::kPathDelimiter;
  }
  static void Airport(const std::string& path, const std::string& name) {
    BglBuilder b;
    b.AddSection(3).AddSubSection().AddAirport().Name(name).Elevation(1000).Runway(9, 1, 1000);
    b.WriteTo(path);
  }
  // Opens path as a second start or the browse dialog would, and lets the work end.
  void Open(const std::string& path) {
    flow_.OpenPath(path);
    steps_.RunAll();
  }
  // A file with one airport of two elements, opened on the elevation page.
  test::Airport& OpenOneAirport(const std::string& name = "Nord", std::int64_t mm = 432000,
                                std::int64_t runway = 431000, std::int64_t start = 430000,
                                const std::string& file = "ap.bgl") {
    builder_ = BglBuilder();
    auto& ap = builder_.AddSection(3).AddSubSection().AddAirport().Name(name).Elevation(mm);
    ap.Runway(24, 1, runway).Start(6, 2, start);
    path_ = Folder("edit") + file;
    original_ = builder_.WriteTo(path_);
    flow_.ShowPage(Page::Elevations);
    Open(path_);
    return builder_.sections[0].subSections[0].airports[0];
  }
  std::int32_t FieldAt(std::uint32_t offset) const {
    const test::Bytes b = test::ReadFile(path_);
    return static_cast<std::int32_t>(b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 |
                                     static_cast<std::uint32_t>(b[offset + 3]) << 24);
  }
  // A double-click on a line, with the inputs and answers the user gives.
  void Edit(std::size_t line, std::vector<std::optional<std::string>> inputs,
            std::vector<int> answers = {}) {
    user_.inputs.assign(inputs.begin(), inputs.end());
    user_.script.answers.assign(answers.begin(), answers.end());
    flow_.EditLine(line);
    steps_.RunAll();
  }

  test::TempFolder dir_;
  test::RecordingView view_;
  KeyboardUser user_;
  test::StepQueue steps_;
  test::RecordingPrinter printer_;
  WindowWorkflow flow_{view_, user_, steps_, printer_};
  BglBuilder builder_;
  std::string path_;
  test::Bytes original_;
};

// ---- the elevation box ----

TEST_F(WindowWorkflowTest, TheElevationBoxAsksConfirmsWritesAndOffersTheElements) {
  auto& ap = OpenOneAirport();
  ASSERT_EQ(view_.tree, (std::vector<std::string>{"Nord                       432,000",
                                                  "   Runway 24 L                431,000",
                                                  "   Start 6 R                  430,000"}));
  struct Row {
    const char* what;
    std::size_t line;
    std::vector<std::optional<std::string>> inputs;
    std::vector<int> answers;
    std::int32_t airport, runway, start;  // the fields afterwards
    std::size_t questions;                // asked in this row
  };
  const Row rows[] = {
      {"cancel in the box", 0, {std::nullopt}, {}, 432000, 431000, 430000, 0},
      {"a change under 10 m, no to the elements",
       0,
       {"441,999"},
       {UserDialog::kIdNo},
       441999,
       431000,
       430000,
       1},
      {"exactly 10 m more is confirmed, then cancelled",
       0,
       {"451,999"},
       {UserDialog::kIdCancel},
       441999,
       431000,
       430000,
       1},
      {"confirmed, then no",
       0,
       {"451,999"},
       {UserDialog::kIdOk, UserDialog::kIdNo},
       451999,
       431000,
       430000,
       2},
      {"a comma or a point, rounded to the millimetre",
       0,
       {"451.9996"},
       {UserDialog::kIdNo},
       452000,
       431000,
       430000,
       1},
      {"an element alone, asked nothing", 1, {"433,5"}, {}, 452000, 433500, 430000, 0},
      {"yes gives the elements the airport's value",
       0,
       {"445"},
       {UserDialog::kIdYes},
       445000,
       445000,
       445000,
       1},
  };
  for (const Row& row : rows) {
    const std::size_t before = user_.script.questions.size();
    Edit(row.line, row.inputs, row.answers);
    EXPECT_EQ(FieldAt(ap.elevationOffset), row.airport) << row.what;
    EXPECT_EQ(FieldAt(ap.elements[0].elevationOffset), row.runway) << row.what;
    EXPECT_EQ(FieldAt(ap.elements[1].elevationOffset), row.start) << row.what;
    EXPECT_EQ(user_.script.questions.size() - before, row.questions) << row.what;
  }
  EXPECT_EQ(user_.asked[1].prompt, "Nouvelle élévation en mètres de Nord");
  EXPECT_EQ(user_.asked[1].text, "432,000");  // what the file holds
  EXPECT_EQ(user_.asked[5].prompt, "Nouvelle élévation en mètres de la Runway 24 L de Nord ");
  EXPECT_EQ(user_.script.questions[1].text,
            "Changement de plus de 10 mètres ???\r\n\r\nConfirmez-vous 451,999 m. ?");
  EXPECT_EQ(user_.script.questions[0].caption, "Autres éléments");
  EXPECT_EQ(view_.tree, (std::vector<std::string>{"Nord                       445,000",
                                                  "   Runway 24 L                445,000",
                                                  "   Start 6 R                  445,000"}));
  // The backup copy holds the bytes before the first write, and was announced once.
  EXPECT_EQ(
      test::ReadFile(Folder("Desktop") + "QORBgl Backup" + platform::kPathDelimiter + "ap.bgl"),
      original_);
  EXPECT_EQ(user_.messages.size(), 1u);
  // Only the three fields changed; the length stays.
  EXPECT_EQ(test::ReadFile(path_).size(), original_.size());
  // The tree made again (another page and back) shows what the file holds.
  flow_.ShowPage(Page::Help);
  flow_.ShowPage(Page::Elevations);
  EXPECT_EQ(view_.tree.front(), "Nord                       445,000");
}

// An unchanged value writes nothing; the elements' question says how far they would move, and
// when one would move 10 m or more it warns and Enter answers No.
TEST_F(WindowWorkflowTest, TheElementsQuestionSaysHowFarAndEnterKeepsFarElements) {
  const std::string others =
      "Voulez-vous également changer l'altitude des éléments de l'aéroport ?\r\n\r\n";
  const std::string large = "Changement de plus de 10 mètres ???\r\n\r\n";
  const auto moving = [&](int count, const std::string& farthest) {
    return others + "Éléments à changer : " + std::to_string(count) +
           "\r\nPlus grand déplacement : " + farthest + " m";
  };
  constexpr int kYesNo = UserDialog::kYesNo;
  constexpr int kNoFirst = UserDialog::kYesNo | UserDialog::kDefButton2;
  struct Question {
    std::string text;
    int flags;
  };
  struct Fields {
    std::int64_t airport, runway, start;
  };
  struct Row {
    const char* what;
    Fields before;
    const char* typed;
    std::vector<int> answers;
    Fields after;
    bool backup;
    std::vector<Question> questions;  // all captioned "Autres éléments"
  };
  const Row rows[] = {
      {"unchanged, yes gives the elements its value",
       {432000, 431000, 430000},
       "432,000",
       {UserDialog::kIdYes},
       {432000, 432000, 432000},
       true,
       {{moving(2, "2,000"), kYesNo}}},
      {"unchanged, no writes nothing",
       {432000, 431000, 430000},
       "432",
       {UserDialog::kIdNo},
       {432000, 431000, 430000},
       false,
       {{moving(2, "2,000"), kYesNo}}},
      {"a small change, Enter is yes",
       {432000, 431000, 430000},
       "433",
       {kEnter},
       {433000, 433000, 433000},
       true,
       {{moving(2, "3,000"), kYesNo}}},
      {"a runway 33 m away, Enter is no",
       {2006000, 1975000, 2007500},
       "2008",
       {kEnter},
       {2008000, 1975000, 2007500},
       true,
       {{large + moving(2, "33,000"), kNoFirst}}},
      {"unchanged, a runway 33 m away: the offered value and Enter write nothing",
       {2008000, 1975000, 2008000},
       "2008,000",
       {kEnter},
       {2008000, 1975000, 2008000},
       false,
       {{large + moving(1, "33,000"), kNoFirst}}},
      {"exactly 10 m warns; yes all the same",
       {432000, 422000, 431000},
       "432",
       {UserDialog::kIdYes},
       {432000, 432000, 432000},
       true,
       {{large + moving(2, "10,000"), kNoFirst}}},
      {"elements already at the new value: no question",
       {432000, 433000, 433000},
       "433",
       {},
       {433000, 433000, 433000},
       true,
       {}},
      {"unchanged, elements at the value: nothing at all",
       {433000, 433000, 433000},
       "433",
       {},
       {433000, 433000, 433000},
       false,
       {}},
  };
  int n = 0;
  for (const Row& row : rows) {
    const std::string file = "row" + std::to_string(++n) + ".bgl";
    const test::Airport& ap =
        OpenOneAirport("Courchevel", row.before.airport, row.before.runway, row.before.start, file);
    user_.script.questions.clear();
    Edit(0, {row.typed}, row.answers);
    // The three fields as the row expects them, every other byte as it was.
    test::Bytes expected = original_;
    for (const auto& [offset, mm] : {std::pair{ap.elevationOffset, row.after.airport},
                                     {ap.elements[0].elevationOffset, row.after.runway},
                                     {ap.elements[1].elevationOffset, row.after.start}}) {
      for (int i = 0; i < 4; ++i) expected[offset + i] = static_cast<std::uint8_t>(mm >> (8 * i));
    }
    EXPECT_EQ(test::ReadFile(path_), expected) << row.what;
    EXPECT_EQ(fs::exists(Folder("Desktop") + "QORBgl Backup" + platform::kPathDelimiter + file),
              row.backup)
        << row.what;
    EXPECT_EQ(user_.script.questions.size(), row.questions.size()) << row.what;
    for (std::size_t i = 0; i < std::min(row.questions.size(), user_.script.questions.size());
         ++i) {
      EXPECT_EQ(user_.script.questions[i].caption, "Autres éléments") << row.what;
      EXPECT_EQ(user_.script.questions[i].text, row.questions[i].text) << row.what;
      EXPECT_EQ(user_.script.questions[i].flags, row.questions[i].flags) << row.what;
    }
  }
}

// Ctrl+Z: the last change of the open file, and only of it, taken back after a question; the
// tree shows what the file holds afterwards.
TEST_F(WindowWorkflowTest, CtrlZTakesBackTheLastChangeOfTheOpenFileAfterAQuestion) {
  library::Journal journal(dir_ / "journal");
  const ScopedJournal inPlace(journal);
  auto& ap = OpenOneAirport();
  Edit(0, {std::string("440")}, {UserDialog::kIdNo});  // the airport alone
  Edit(1, {std::string("435")});                       // then its runway
  ASSERT_EQ(FieldAt(ap.elements[0].elevationOffset), 435000);

  struct Row {
    int answer;
    std::vector<std::int32_t> fields;  // airport, runway after the press
  };
  const Row rows[] = {
      {UserDialog::kIdNo, {440000, 435000}},   // asked, refused: nothing
      {UserDialog::kIdYes, {440000, 431000}},  // the runway's change, the last one
      {UserDialog::kIdYes, {432000, 431000}},  // then the airport's
  };
  for (const Row& row : rows) {
    user_.script.answers = {row.answer};
    user_.messages.clear();
    flow_.UndoLastChange();
    steps_.RunAll();
    ASSERT_FALSE(user_.script.questions.empty());
    EXPECT_EQ(user_.script.questions.back().caption, "Défaire");
    EXPECT_NE(user_.script.questions.back().text.find("« fenêtre »"), std::string::npos);
    EXPECT_EQ((std::vector<std::int32_t>{FieldAt(ap.elevationOffset),
                                         FieldAt(ap.elements[0].elevationOffset)}),
              row.fields);
    EXPECT_EQ(user_.messages.size(), row.answer == UserDialog::kIdYes ? 1u : 0u);
  }
  EXPECT_EQ(view_.tree[0], "Nord                       432,000");
  // Nothing of this file is left to take back; the undos themselves are not taken back.
  const std::size_t asked = user_.script.questions.size();
  flow_.UndoLastChange();
  steps_.RunAll();
  EXPECT_EQ(user_.script.questions.size(), asked);
  EXPECT_NE(user_.messages.back().find("aucune modification de ce fichier"), std::string::npos);
  EXPECT_EQ(test::ReadFile(path_), original_);
}

// The open file aligned on the library page (another change of the same process): back on the
// elevation page, the tree shows what the file holds and the next change goes ahead.
TEST_F(WindowWorkflowTest, BackOnTheElevationPageAFileChangedMeanwhileIsReadAgain) {
  auto& ap = OpenOneAirport();
  flow_.ShowPage(Page::Library);
  {
    TBGL other(path_, Folder("Desktop"));
    std::vector<FileWrites> change{{&other, {{ap.elevationOffset, 'D', 2007000, {}, ""}}, {}}};
    ASSERT_TRUE(WriteChange(change, ChangeOptions{}, user_).accepted);
  }
  flow_.ShowPage(Page::Elevations);
  steps_.RunAll();
  EXPECT_EQ(view_.tree[0], "Nord                     2 007,000");
  user_.messages.clear();
  Edit(0, {std::string("2006")}, {UserDialog::kIdNo});
  EXPECT_EQ(FieldAt(ap.elevationOffset), 2006000);
  for (const std::string& m : user_.messages) EXPECT_EQ(m.find("Rouvrez-le"), std::string::npos);
}

// A change a run cut short is put back when the window starts, and the user is told.
TEST_F(WindowWorkflowTest, AChangeCutShortIsPutBackWhenTheWindowStarts) {
  test::SetEnv("XDG_DATA_HOME", dir_ / "data");
  const std::string file = Folder("edit") + "ap.bgl";
  BglBuilder b;
  auto& ap = b.AddSection(3).AddSubSection().AddAirport().Name("Nord").Elevation(432000);
  const test::Bytes original = b.WriteTo(file);
  {
    TBGL bgl(file, Folder("Desktop"));
    FieldEdit edit;
    edit.offset = ap.elevationOffset;
    edit.before = {0x80, 0x97, 0x06, 0x00};  // 432 000
    edit.after = {0x01, 0x00, 0x00, 0x00};
    library::Journal(library::Journal::UserPath())
        .Begin({"align LFLJ", 0, {{file, bgl.SeenStamp(), {edit}}}});
    const std::int32_t one = 1;
    platform::File::OpenReadWrite(file)->WriteAt(ap.elevationOffset, &one, 4);
  }
  WindowSettings settings;
  flow_.Start(settings, "");
  steps_.RunAll();
  ASSERT_FALSE(user_.messages.empty());
  EXPECT_NE(user_.messages[0].find("« align LFLJ »"), std::string::npos) << user_.messages[0];
  EXPECT_NE(user_.messages[0].find("1 altitude remise"), std::string::npos) << user_.messages[0];
  EXPECT_EQ(test::ReadFile(file), original);
}

TEST_F(WindowWorkflowTest, MalformedOrOutOfRangeTextIsRefusedAndOfferedAgain) {
  auto& ap = OpenOneAirport();
  for (const char* typed : {"abc", "", "12.5.3", "-3,5 m", "1e999", "50%", "1:30"}) {
    user_.messages.clear();
    Edit(0, {typed, std::nullopt});
    ASSERT_EQ(user_.messages.size(), 1u) << typed;
    EXPECT_NE(user_.messages[0].find(std::string("« ") + typed + " »"), std::string::npos);
    EXPECT_NE(user_.messages[0].find("433,5"), std::string::npos) << user_.messages[0];
    EXPECT_EQ(user_.asked.back().text, typed);  // the box comes again with the text typed
    EXPECT_TRUE(user_.script.questions.empty()) << typed;
  }
  // Beyond the field: refused before the large-change question, with both limits.
  user_.messages.clear();
  Edit(0, {"3000000", std::nullopt});
  EXPECT_TRUE(user_.script.questions.empty());
  EXPECT_NE(user_.messages[0].find("3 000 000,000 m ne tient pas"), std::string::npos)
      << user_.messages[0];
  EXPECT_NE(user_.messages[0].find("de -2 147 483,648 à 2 147 483,647 m"), std::string::npos);
  EXPECT_EQ(test::ReadFile(path_), original_);
  EXPECT_FALSE(fs::exists(Folder("Desktop") + "QORBgl Backup"));
  // A text mended in the second box is written.
  Edit(0, {"x", "432,5"}, {UserDialog::kIdNo});
  EXPECT_EQ(FieldAt(ap.elevationOffset), 432500);
}

TEST_F(WindowWorkflowTest, TheOfferedValueIsTheFieldsInEveryRegionalFormat) {
  OpenOneAirport("Aérodrome de Chavenay-Vil", 1234567);  // a label of 25 characters
  for (const char* grouping : {" ", "'", ".", "\u00a0", "\u202f"}) {
    SetNumberSymbols({",", grouping});
    flow_.ShowPage(Page::Elevations);  // the tree written with these symbols
    Edit(0, {std::nullopt});
    EXPECT_EQ(user_.asked.back().text, "1234,567") << grouping;
    EXPECT_EQ(user_.asked.back().prompt,
              "Nouvelle élévation en mètres d'Aérodrome de Chavenay-Vil");
  }
  // Typed back as the tree shows it, the value reads the same.
  SetNumberSymbols({",", "\u202f"});
  Edit(0, {"1\u202f234,5"}, {UserDialog::kIdNo});
  EXPECT_EQ(FieldAt(builder_.sections[0].subSections[0].airports[0].elevationOffset), 1234500);
}

// ---- holding requests ----

TEST_F(WindowWorkflowTest, ARequestThatComesDuringADialogWaitsForIt) {
  auto& ap = OpenOneAirport();
  const std::string other = Folder("other") + "b.bgl";
  Airport(other, "Sud");
  // A second start hands a file over while the elevation box is open.
  user_.whileAsking = [&] { flow_.OpenPath(other); };
  Edit(0, {"433"}, {UserDialog::kIdNo});
  EXPECT_EQ(FieldAt(ap.elevationOffset), 433000);  // in the file the box was opened for
  EXPECT_EQ(view_.field, other);                   // then the hand-over was carried out
  EXPECT_EQ(flow_.OpenFile()->FileName, other);
  EXPECT_EQ(view_.tree.front().substr(0, 3), "Sud");
}

TEST_F(WindowWorkflowTest, ANewFolderStopsTheRunningListingAndHeldChoicesWait) {
  const std::string a = Folder("a");
  const std::string b = Folder("b");
  for (int i = 0; i < 40; ++i) Airport(a + "f" + std::to_string(i) + ".bgl", "A");
  Airport(b + "only.bgl", "B");
  flow_.ChooseFolder(a);
  EXPECT_TRUE(flow_.Working());
  EXPECT_TRUE(view_.busy);
  flow_.Search();  // held while the list fills
  EXPECT_TRUE(user_.asked.empty());
  flow_.ChooseFolder(b);  // not held: stops the listing of a
  steps_.RunAll();
  EXPECT_FALSE(flow_.Working());
  EXPECT_FALSE(view_.busy);
  EXPECT_EQ(view_.files, std::vector<std::string>{"only.bgl"});
  EXPECT_FALSE(view_.searchEnabled);
  ASSERT_EQ(user_.asked.size(), 1u);  // the held search ran once the listing ended
  EXPECT_EQ(user_.asked[0].caption, "Recherche");
}

// ---- listing, opening, searching ----

TEST_F(WindowWorkflowTest, TheListHoldsTheReadableNewFormatFilesAndOpensWhatIsChosen) {
  const std::string folder = Folder("scenery");
  Airport(folder + "good.bgl", "Nord");
  test::WriteFile(folder + "old.bgl", {0x01, 0x00, 0x00, 0x00});
  test::WriteFile(folder + "empty.bgl", {});
  test::WriteFile(folder + "one.bgl", {0x01});
  Airport(folder + "notes.txt", "Nord");
  flow_.ChooseFolder(folder);
  steps_.RunAll();
  EXPECT_EQ(view_.files, std::vector<std::string>{"good.bgl"});
  EXPECT_FALSE(view_.searchEnabled);
  Airport(folder + "SECOND.BGL", "Sud");
  flow_.ChooseFolder(folder);
  steps_.RunAll();
  EXPECT_EQ(view_.files, (std::vector<std::string>{"good.bgl", "SECOND.BGL"}));
  EXPECT_TRUE(view_.searchEnabled);

  // Opened on the help page, the tree waits for the elevation page.
  flow_.ChooseFile(1);
  EXPECT_EQ(view_.field, folder + "SECOND.BGL");
  EXPECT_NE(flow_.OpenFile(), nullptr);
  EXPECT_TRUE(view_.tree.empty());
  EXPECT_FALSE(view_.printEnabled);
  flow_.ShowPage(Page::Elevations);
  EXPECT_EQ(view_.tree.size(), 2u);
  EXPECT_TRUE(view_.printEnabled);
  EXPECT_EQ(view_.status, "Double-clic sur la ligne à modifier.");
  const TBGL* open = flow_.OpenFile();
  flow_.ChooseFile(1);  // the open file is not opened again
  EXPECT_EQ(flow_.OpenFile(), open);

  // A file the list does not hold is opened through the field all the same: the user sees why.
  Open(folder + "old.bgl");
  EXPECT_EQ(view_.field, folder + "old.bgl");
  EXPECT_EQ(view_.selected, std::nullopt);
  EXPECT_EQ(user_.messages.back(), "Je ne sais pas encore lire ce format de fichier BGL.");
  EXPECT_EQ(flow_.OpenFile(), nullptr);
  EXPECT_TRUE(view_.tree.empty());

  // Another folder: nothing of this one stays in the field or the tree.
  Open(folder + "good.bgl");
  const std::string other = Folder("other");
  Airport(other + "x.bgl", "X");
  flow_.ChooseFolder(other);
  steps_.RunAll();
  EXPECT_EQ(view_.field, "");
  EXPECT_EQ(flow_.OpenFile(), nullptr);
  EXPECT_TRUE(view_.tree.empty());
}

TEST_F(WindowWorkflowTest, SearchNarrowsTheListAndOpensTheFirstMatch) {
  const std::string folder = Folder("search");
  Airport(folder + "1.bgl", "Sud");
  Airport(folder + "2.bgl", "Nord");
  Airport(folder + "3.bgl", "nord");
  flow_.ChooseFolder(folder);
  steps_.RunAll();
  auto search = [&](std::optional<std::string> name) {
    user_.inputs = {std::move(name)};
    flow_.Search();
    steps_.RunAll();
  };
  search(std::nullopt);
  EXPECT_EQ(view_.files.size(), 3u);
  search("NORD");
  EXPECT_EQ(user_.asked.back().prompt, "Aéroport à chercher :");
  EXPECT_EQ(view_.files, (std::vector<std::string>{"2.bgl", "3.bgl"}));
  EXPECT_EQ(view_.selected, 0u);
  EXPECT_EQ(view_.field, folder + "2.bgl");
  const TBGL* open = flow_.OpenFile();
  search("Nord");  // the open file matches again and is not reopened
  EXPECT_EQ(flow_.OpenFile(), open);
  search("Sud");  // nothing left in the list: the whole folder again
  EXPECT_EQ(view_.files, (std::vector<std::string>{"1.bgl", "2.bgl", "3.bgl"}));
  EXPECT_EQ(user_.messages, std::vector<std::string>{"Pas trouvé dans cette liste."});
  EXPECT_EQ(flow_.OpenFile(), open);

  // A damaged file stops the search: the files examined and not kept go, the rest stay.
  test::WriteFile(folder + "2.bgl", {0x01, 0x02, 0, 0, 0xFF, 0xFF, 0, 0});
  search("Nord");
  ASSERT_EQ(user_.script.questions.size(), 1u);
  EXPECT_EQ(user_.script.questions[0].caption, "QORBgl");
  EXPECT_EQ(user_.script.questions[0].flags, UserDialog::kIconStop);
  EXPECT_EQ(view_.files, (std::vector<std::string>{"2.bgl", "3.bgl"}));
  EXPECT_FALSE(flow_.Working());
}

TEST_F(WindowWorkflowTest, AnIdentInAnyCaseFindsItsFilesAndEveryTipNamesItsAirportsPlace) {
  const std::string folder = Folder("idents");
  for (const auto& [file, name, icao, north, east] :
       {std::tuple{"1.bgl", "Charles de Gaulle", "LFPG", 49.0097, 2.5478},
        std::tuple{"2.bgl", "Orly", "LFPO", 48.7233, 2.3794},
        std::tuple{"3.bgl", "Rio Grande", "", -53.7777, -67.7494}}) {
    BglBuilder b;
    b.AddSection(3)
        .AddSubSection()
        .AddAirport()
        .Name(name)
        .Icao(icao)
        .At(north, east)
        .Elevation(89000)
        .Runway(6, 0, 89000);
    b.WriteTo(folder + file);
  }
  flow_.ShowPage(Page::Elevations);
  flow_.ChooseFolder(folder);
  steps_.RunAll();
  user_.inputs = {std::string("lfpo")};
  flow_.Search();
  steps_.RunAll();
  EXPECT_EQ(view_.files, std::vector<std::string>{"2.bgl"});
  EXPECT_EQ(flow_.LineTip(0), "Orly\n89,000 m (292,0 ft)\nOACI LFPO, 48,7233° N 2,3794° E");
  EXPECT_EQ(flow_.LineTip(1),
            "Runway 6 d'Orly\n89,000 m (292,0 ft)\nOACI LFPO, 48,7233° N 2,3794° E");
  Open(folder + "3.bgl");
  EXPECT_EQ(flow_.LineTip(0),
            "Rio Grande\n89,000 m (292,0 ft)\nsans indicatif OACI, 53,7777° S 67,7494° O");
}

// ---- printing and start ----

TEST_F(WindowWorkflowTest, ThePrintOutHoldsEveryLineUnderTheOpenFilesName) {
  flow_.PrintList();  // the help page
  EXPECT_EQ(user_.messages.back(), "Oups, pas encore programmé pour cet onglet.");
  flow_.ShowPage(Page::Elevations);
  user_.messages.clear();
  flow_.PrintList();  // an empty tree: nothing printed, nothing said
  EXPECT_TRUE(user_.messages.empty());
  EXPECT_TRUE(user_.script.questions.empty());
  EXPECT_TRUE(printer_.pdfs.empty());

  OpenOneAirport();
  flow_.ChooseFolder(dir_ / "edit");  // the same folder listed again: the list selects nothing
  steps_.RunAll();
  printer_.hasPrinter = true;
  flow_.PrintList();
  EXPECT_TRUE(flow_.Working());  // a line a step here
  EXPECT_EQ(view_.progress.back().total, 3u);
  steps_.RunAll();
  EXPECT_EQ(view_.progress.back().total, 0u);  // the progress box is gone
  ASSERT_NE(printer_.last, nullptr);
  EXPECT_EQ(printer_.last->endedJobs, 1);
  std::vector<std::string> printed;
  for (const auto& t : printer_.last->texts) printed.push_back(t.text);
  EXPECT_NE(std::find(printed.begin(), printed.end(), "Aéroports et altitudes de ap.bgl"),
            printed.end());
  EXPECT_NE(std::find(printed.begin(), printed.end(), "   Start 6 R                  430,000"),
            printed.end());
  // Without a printer, a PDF where the user says.
  printer_.hasPrinter = false;
  user_.script.answers = {UserDialog::kIdYes};
  user_.inputs = {dir_ / "liste.pdf"};
  flow_.PrintList();
  steps_.RunAll();
  EXPECT_EQ(user_.asked.back().text, Folder("Desktop") + "ap.pdf");
  EXPECT_EQ(printer_.pdfs.back(), dir_ / "liste.pdf");
  EXPECT_EQ(user_.messages.back(),
            "La liste a été enregistrée dans \"" + (dir_ / "liste.pdf") + "\".");
  // Cancelled part way, the job is given up and nothing is said to be saved.
  user_.messages.clear();
  user_.script.answers = {UserDialog::kIdYes};
  user_.inputs = {dir_ / "liste.pdf"};
  flow_.PrintList();
  flow_.Cancel();
  steps_.RunAll();
  EXPECT_EQ(printer_.last->abortedJobs, 1);
  EXPECT_EQ(printer_.last->endedJobs, 0);
  EXPECT_TRUE(user_.messages.empty());
  EXPECT_FALSE(flow_.Working());
  // Where no PDF can be written (Windows), no printer is said plainly, and nothing is asked.
  printer_.canWritePdf = false;
  const std::size_t questions = user_.script.questions.size();
  const std::size_t jobs = printer_.pdfs.size();
  flow_.PrintList();
  steps_.RunAll();
  EXPECT_EQ(user_.messages,
            std::vector<std::string>{"Aucune imprimante par défaut n'est installée."});
  EXPECT_EQ(user_.script.questions.size(), questions);
  EXPECT_EQ(printer_.pdfs.size(), jobs);
}

TEST_F(WindowWorkflowTest, TheStartFolderAndPageFallBackSoundly) {
  WriteSetting("Drive", "");
  WriteSetting("Dir", "");
  WriteSetting("Onglet", "5");
  WriteSetting("sp0", "-5");
  WindowSettings s = ReadWindowSettings();
  EXPECT_EQ(s.page, Page::Help);
  EXPECT_EQ(s.filesWidth, 0);
  EXPECT_EQ(s.folder, platform::CurrentFolder());  // no simulator, nothing saved
  const std::string saved = Folder("saved");
  s.drive = platform::DriveRoots().front();
  s.folder = saved;
  s.page = Page::Elevations;
  s.filesWidth = 250;
  WriteWindowSettings(s);
  const WindowSettings again = ReadWindowSettings();
  EXPECT_EQ(again.folder, saved);
  EXPECT_EQ(again.page, Page::Elevations);
  EXPECT_EQ(again.filesWidth, 250);
  fs::remove(saved);  // a saved folder that is gone
  EXPECT_EQ(ReadWindowSettings().folder, platform::CurrentFolder());
}

}  // namespace
}  // namespace qor

namespace qor {
namespace {

std::size_t IndexOfName(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

// The rules both windows once wrote each in their own way: the line of a definition opened
// from the library, a hand-over's blanks, a browse given up, and what the close keeps.
TEST_F(WindowWorkflowTest, TheWindowsRulesLiveInTheWorkflow) {
  const std::string folder = Folder("scenery");
  for (const char* name : {"a.bgl", "b.bgl"}) Airport(folder + name, name);
  BglBuilder two;
  auto& sub = two.AddSection(3).AddSubSection();
  sub.AddAirport().Name("Zulu").Elevation(1000);
  test::Airport& wanted = sub.AddAirport().Name("Alpha").Elevation(2000);
  two.WriteTo(folder + "c.bgl");

  // Opened from the library: the elevation page shown, the airport's own line chosen.
  flow_.OpenDefinition(folder + "c.bgl", wanted.elevationOffset);
  steps_.RunAll();
  EXPECT_EQ(view_.page, Page::Elevations);
  EXPECT_EQ(view_.field, folder + "c.bgl");
  ASSERT_TRUE(view_.selectedLine.has_value());
  EXPECT_EQ(view_.tree[*view_.selectedLine].rfind("Alpha", 0), 0u);

  // A browse given up leaves the status line as true as it was.
  const std::string status = view_.status;
  flow_.Browse();
  steps_.RunAll();
  EXPECT_EQ(view_.status, status);

  // Blanks around a handed-over path are not part of it; nothing is only blanks.
  flow_.HandOver("  " + folder + "a.bgl \t");
  steps_.RunAll();
  EXPECT_EQ(view_.field, folder + "a.bgl");
  flow_.HandOver("   ");
  steps_.RunAll();
  EXPECT_EQ(view_.field, folder + "a.bgl");

  // The folder list's rows: entering the current folder's own row lists it whole again.
  ASSERT_EQ(view_.folderRows.folder, folder);
  flow_.EnterFolder(view_.folderRows.current);
  steps_.RunAll();
  EXPECT_EQ(view_.files.size(), 3u);
  EXPECT_EQ(view_.selected, std::optional<std::size_t>(IndexOfName(view_.files, "a.bgl")));

  // The close keeps the folder and the page with the window's layout.
  WindowSettings layout;
  layout.drive = platform::DriveRootOf(folder, platform::DriveRoots());
  layout.filesWidth = 222;
  flow_.Close(layout);
  const WindowSettings saved = ReadWindowSettings();
  EXPECT_EQ(saved.folder, folder);
  EXPECT_EQ(saved.page, Page::Elevations);
  EXPECT_EQ(saved.filesWidth, 222);
}

}  // namespace
}  // namespace qor
