// Nothing lost, nothing misplaced, tried as a user would with the real program: restore puts
// back only a file's own copy, a backup copy is never written, one file reached by several
// paths is copied and written once, a second writer waits and then touches nothing, a kept copy
// says it stands in for a new one, and an alignment killed at any point leaves every definition
// at one value with the journal saying what was done.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "platform/File.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

struct Fields {
  std::uint32_t airport = 0;
  std::uint32_t runway = 0;
  std::uint32_t start = 0;
};

class SafetyTest : public ::testing::Test {
 protected:
  std::map<std::string, std::string> Env() const {
    return {{"HOME", home_},
            {"XDG_DATA_HOME", home_ + "/.local/share"},
            {"XDG_CONFIG_HOME", home_ + "/.config"},
            {"LC_ALL", "C.UTF-8"}};
  }
  test::ProgramRun Cli(const std::vector<std::string>& args,
                       std::map<std::string, std::string> extra = {}) const {
    std::map<std::string, std::string> env = Env();
    env.insert(extra.begin(), extra.end());
    return test::RunProgram(QORBGL_CLI, args, env);
  }
  // A file of one airport LFLJ at mm, with a runway and a start 30 m lower.
  Fields WriteAirport(const std::string& path, std::int32_t mm) {
    fs::create_directories(fs::path(path).parent_path());
    test::BglBuilder b;
    auto& ap = b.AddSection(3).AddSubSection().AddAirport();
    ap.Name("Altiport de Courchevel").Icao("LFLJ").Elevation(mm);
    ap.Runway(4, 0, mm - 30000).Start(4, 0, mm - 30000);
    b.WriteTo(path);
    return {ap.elevationOffset, ap.elements[0].elevationOffset, ap.elements[1].elevationOffset};
  }
  // scenery.cfg of the simulator's folder: one active area a folder, in load order.
  void WriteConfig(const std::vector<std::string>& locals) {
    std::string cfg = "[General]\r\nTitle=FS9 World Scenery\r\n";
    for (std::size_t i = 0; i < locals.size(); ++i) {
      char section[32];
      std::snprintf(section, sizeof section, "[Area.%03zu]\r\n", i + 1);
      cfg += std::string(section) + "Title=Zone " + std::to_string(i + 1) +
             "\r\nLocal=" + locals[i] + "\r\nLayer=" + std::to_string(i + 1) +
             "\r\nActive=TRUE\r\n";
    }
    fs::create_directories(sim_);
    test::WriteText(sim_ + "/scenery.cfg", cfg);
  }
  static std::int32_t At(const std::string& path, std::uint32_t offset) {
    const Bytes bytes = test::ReadFile(path);
    std::int32_t v = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
  }
  std::vector<std::string> BackupNames() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(backup_, ec)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempFolder dir_;
  std::string home_ = dir_ / "home";
  std::string sim_ = dir_ / "FS9";
  std::string backup_ = home_ + "/Desktop/QORBgl Backup";
};

TEST_F(SafetyTest, RestorePutsBackOnlyTheFilesOwnCopy) {
  const std::string a = dir_ / "A/AP_COMMUN.BGL";
  const std::string b = dir_ / "B/AP_COMMUN.BGL";
  const Fields f = WriteAirport(a, 2008000);
  WriteAirport(b, 2008000);  // the same bytes: only the journal can tell the copies apart
  const Bytes original = test::ReadFile(a);
  ASSERT_EQ(Cli({"set", a, "--offset", std::to_string(f.airport), "--elevation", "2007"}).exit, 0);

  struct Row {
    const char* name;
    std::string file;
    void (*before)(const std::string& backup);
    int exit;
    const char* says;
  };
  const Row rows[] = {
      {"another file's copy of the same name", b, nullptr, 3, "est celle du fichier"},
      {"a copy of ten random bytes", a,
       [](const std::string& backup) {
         test::WriteFile(backup + "/AP_COMMUN.BGL", {1, 9, 2, 8, 3, 7, 4, 6, 5, 0});
       },
       3, "n'a pas la longueur du fichier"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Bytes copy = test::ReadFile(backup_ + "/AP_COMMUN.BGL");
    if (row.before) row.before(backup_);
    const Bytes before = test::ReadFile(row.file);
    const test::ProgramRun run = Cli({"restore", row.file});
    EXPECT_EQ(run.exit, row.exit) << run.err;
    EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Je n'ai rien changé"), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadFile(row.file), before);
    test::WriteFile(backup_ + "/AP_COMMUN.BGL", copy);
  }
  // Its own copy goes back, field by field, into the file itself.
  const test::ProgramRun own = Cli({"restore", a});
  EXPECT_EQ(own.exit, 0) << own.err;
  EXPECT_EQ(test::ReadFile(a), original);

  // Through a symbolic link: the link stays a link, its target gets the copy's bytes.
  const std::string link = dir_ / "C/AP_COMMUN.BGL";
  fs::create_directories(dir_ / "C");
  fs::create_symlink(a, link);
  ASSERT_EQ(Cli({"set", link, "--offset", std::to_string(f.airport), "--elevation", "1999"}).exit,
            0);
  EXPECT_EQ(At(a, f.airport), 1999000);
  const test::ProgramRun linked = Cli({"restore", link});
  EXPECT_EQ(linked.exit, 0) << linked.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::ReadFile(a), original);
}

TEST_F(SafetyTest, ABackupCopyIsNeverWrittenNorMovedWhateverItsPath) {
  const std::string file = dir_ / "AP.bgl";
  const Fields f = WriteAirport(file, 2008000);
  ASSERT_EQ(Cli({"set", file, "--offset", std::to_string(f.airport), "--elevation", "2007"}).exit,
            0);
  const Bytes copy = test::ReadFile(backup_ + "/AP.bgl");
  const std::string cli = QORBGL_CLI;
  for (const bool relative : {true, false}) {
    SCOPED_TRACE(relative ? "relative path" : "absolute path");
    // A relative path is given from inside the backup folder, as a user there would give it.
    const test::ProgramRun run = test::RunProgram(
        "/bin/sh",
        {"-c", "cd \"$1\" && exec \"$2\" set \"$3\" --offset \"$4\" --elevation 1", "sh", backup_,
         cli, relative ? "AP.bgl" : backup_ + "/AP.bgl", std::to_string(f.airport)},
        Env());
    EXPECT_EQ(run.exit, 3) << run.err;
    EXPECT_NE(run.err.find("est une copie de sécurité"), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadFile(backup_ + "/AP.bgl"), copy);
    EXPECT_EQ(BackupNames(), std::vector<std::string>{"AP.bgl"});
    EXPECT_FALSE(fs::exists(home_ + "/.local/share/Trash/files/AP.bgl"));
  }
}

TEST_F(SafetyTest, OneFileReachedByTwoPathsIsCopiedAndWrittenOnce) {
  struct Row {
    const char* name;
    // Makes the second area reach the first one's file; the second area's Local.
    std::string (*reach)(const std::string& sim);
  };
  const Row rows[] = {
      {"a hard link in another area",
       [](const std::string& sim) {
         fs::create_directories(sim + "/Autre/scenery");
         fs::create_hard_link(sim + "/Une/scenery/LFLJ.bgl", sim + "/Autre/scenery/LFLJ2.bgl");
         return std::string("Autre");
       }},
      {"a Local with ..", [](const std::string&) { return std::string("Autre\\..\\Une"); }},
      {"a symbolic link to the folder",
       [](const std::string& sim) {
         fs::create_directory_symlink(sim + "/Une", sim + "/Lien");
         return std::string("Lien");
       }},
      {"the same area listed twice", [](const std::string&) { return std::string("Une"); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(sim_);
    fs::remove_all(home_);
    const std::string file = sim_ + "/Une/scenery/LFLJ.bgl";
    const Fields f = WriteAirport(file, 2008000);
    fs::create_directories(sim_ + "/Autre");
    WriteConfig({"Une", row.reach(sim_)});
    const test::ProgramRun run =
        Cli({"align", "LFLJ", "--elevation", "2007", "--all", "--fs", sim_});
    ASSERT_EQ(run.exit, 0) << run.err;
    // One copy, and each field said once: the copy line and three fields.
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4) << run.out;
    EXPECT_EQ(BackupNames().size(), 1u);
    EXPECT_EQ(
        (std::vector<std::int32_t>{At(file, f.airport), At(file, f.runway), At(file, f.start)}),
        (std::vector<std::int32_t>{2007000, 2007000, 2007000}));
    EXPECT_EQ(Cli({"history", "--json"}).out.find("\"rolled-back\""), std::string::npos);
  }
}

TEST_F(SafetyTest, ASecondWriterWaitsThenTouchesNothingNotEvenItsBackup) {
  const std::string file = dir_ / "AP.bgl";
  const Fields f = WriteAirport(file, 2008000);
  const Bytes original = test::ReadFile(file);
  const auto writer = platform::File::OpenReadWrite(file);
  ASSERT_TRUE(writer->Lock(std::chrono::milliseconds(0)));
  const auto start = std::chrono::steady_clock::now();
  test::ProgramRun run =
      Cli({"set", file, "--offset", std::to_string(f.airport), "--elevation", "2007"});
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
  EXPECT_EQ(run.exit, 3) << run.err;
  EXPECT_NE(run.err.find("en cours de modification par un autre programme"), std::string::npos)
      << run.err;
  EXPECT_EQ(test::ReadFile(file), original);
  EXPECT_FALSE(fs::exists(backup_));
  writer->Unlock();
  run = Cli({"set", file, "--offset", std::to_string(f.airport), "--elevation", "2007"});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(At(file, f.airport), 2007000);
}

TEST_F(SafetyTest, AKeptCopySaysOnceThatItStandsInForANewOne) {
  const std::string file = dir_ / "AP.bgl";
  const Fields f = WriteAirport(file, 2008000);
  fs::create_directories(backup_);
  test::WriteText(backup_ + "/AP.bgl.bak", "gardée");
  const test::ProgramRun run =
      Cli({"set", file, "--airport", "Altiport de Courchevel", "--elevation", "2007", "--all"});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(BackupNames(), std::vector<std::string>{"AP.bgl.bak"});  // no new copy
  const std::string says = "la copie gardée";
  ASSERT_NE(run.err.find(says), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(says, run.err.find(says) + 1), std::string::npos) << run.err;  // once
  EXPECT_EQ(At(file, f.start), 2007000);
}

// The library of the kill tests: ten areas of ten files, each defining LFLJ at its own
// elevation, with a runway and a start: an alignment of 300 fields in 100 files.
class KilledAlignTest : public SafetyTest {
 protected:
  void SetUp() override {
    std::vector<std::string> locals;
    for (int a = 0; a < 10; ++a) {
      locals.push_back("Zone" + std::to_string(a));
      for (int f = 0; f < 10; ++f) {
        const std::string path = sim_ + "/Zone" + std::to_string(a) + "/scenery/AP" +
                                 std::to_string(a * 10 + f) + ".bgl";
        const std::int32_t mm = 2000000 + (a * 10 + f) * 10;
        const Fields fields = WriteAirport(path, mm);
        expected_.push_back({path, fields.airport, mm});
        expected_.push_back({path, fields.runway, mm - 30000});
        expected_.push_back({path, fields.start, mm - 30000});
      }
    }
    WriteConfig(locals);
    fs::copy(sim_, template_, fs::copy_options::recursive);
  }
  void Reset() {
    fs::remove_all(sim_);
    fs::remove_all(home_);
    fs::copy(template_, sim_, fs::copy_options::recursive);
  }
  test::ProgramRun Align(std::map<std::string, std::string> extra = {}) const {
    return Cli({"align", "LFLJ", "--elevation", "2007", "--all", "--fs", sim_}, extra);
  }
  // Every field holds its old value, or every one the new: never some of each.
  enum class Held { Old, New, Mixed };
  Held Holding() const {
    bool allOld = true;
    bool allNew = true;
    for (const auto& [path, offset, old] : expected_) {
      const std::int32_t now = At(path, offset);
      allOld = allOld && now == old;
      allNew = allNew && now == 2007000;
    }
    return allOld ? Held::Old : allNew ? Held::New : Held::Mixed;
  }
  // The states the journal gives the alignment's fields.
  std::set<std::string> States() const {
    std::set<std::string> states;
    const test::ProgramRun history = Cli({"history", "--json"});
    if (history.exit != 0) return states;  // nothing recorded
    const nlohmann::json json = nlohmann::json::parse(history.out);
    for (const nlohmann::json& change : json.at("changes")) {
      states.insert(change.at("state").get<std::string>());
    }
    return states;
  }

  struct Field {
    std::string path;
    std::uint32_t offset;
    std::int32_t old;
  };
  std::vector<Field> expected_;
  std::string template_ = dir_ / "template";
};

TEST_F(KilledAlignTest, StoppedBetweenAnyTwoWritesItIsUndoneByTheNextCommand) {
  for (const int stop : {0, 1, 2, 99, 150, 298, 299, 300}) {
    SCOPED_TRACE("stopped after " + std::to_string(stop) + " writes");
    Reset();
    const test::ProgramRun cut = Align({{"QORBGL_STOP_AFTER_WRITES", std::to_string(stop)}});
    ASSERT_EQ(cut.exit, 86) << cut.err;
    EXPECT_EQ(Holding(), stop == 0 ? Held::Old : stop == 300 ? Held::New : Held::Mixed);
    // Any command first puts back what was cut short, and says so in one line.
    const test::ProgramRun next = Cli({"areas", "--fs", sim_});
    EXPECT_EQ(next.exit, 0);
    EXPECT_NE(next.err.find("« align LFLJ »"), std::string::npos) << next.err;
    EXPECT_NE(next.err.find(stop == 0   ? std::string("rien à défaire")
                            : stop == 1 ? std::string("1 altitude remise")
                                        : std::to_string(stop) + " altitudes remises"),
              std::string::npos)
        << next.err;
    EXPECT_EQ(Holding(), Held::Old);
    EXPECT_EQ(States(), std::set<std::string>{"rolled-back"});
  }
}

TEST_F(KilledAlignTest, KilledAtAnyMomentEveryDefinitionHoldsOneValue) {
  Reset();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Align().exit, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  ASSERT_EQ(Holding(), Held::New);
  std::set<Held> seen;
  for (int i = 0; i < 12; ++i) {
    Reset();
    const auto after = whole * (i + 1) / 13;  // from its start to near its end
    SCOPED_TRACE("killed after " + std::to_string(after.count()) + " us");
    test::RunProgramKilled(
        QORBGL_CLI, {"align", "LFLJ", "--elevation", "2007", "--all", "--fs", sim_}, Env(), after);
    Cli({"areas", "--fs", sim_});  // the next command
    const Held held = Holding();
    EXPECT_NE(held, Held::Mixed);
    seen.insert(held);
    const std::set<std::string> states = States();
    if (held == Held::New) {
      EXPECT_EQ(states, std::set<std::string>{"done"});
    } else {
      // Not begun (killed among the copies), or put back.
      EXPECT_TRUE(states.empty() || states == std::set<std::string>{"rolled-back"});
    }
  }
  EXPECT_TRUE(seen.count(Held::Old)) << "no kill landed before the end";
}

}  // namespace
}  // namespace qor
