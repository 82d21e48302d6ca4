// qorbgl-cli as the program of the system it is built for, run as a user runs it: on Linux, and
// as qorbgl-cli.exe under Wine. The listing is the same byte for byte on both, and a rewrite
// meets the system's own desktop and recycle bin.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/File.h"
#include "platform/ShellFolders.h"
#include "platform/Trash.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

const std::string kCli = QORBGL_CLI;
const std::string kSamples = QORBGL_SAMPLES;
const std::string kExpected = QORBGL_EXPECTED;

test::ProgramRun Cli(const std::vector<std::string>& args) {
  return test::RunProgram(kCli, args, {{"LC_ALL", "C.UTF-8"}});
}

// The output without the file's path, which differs from one system to the other.
std::string WithoutPath(std::string json) {
  const std::string head = "{\"file\": \"";
  if (json.rfind(head, 0) != 0) return json;
  const std::size_t end = json.find("\", \"airports\"");
  return end == std::string::npos ? json : head + json.substr(end);
}

// Where the recycle bin keeps what it is given: the freedesktop.org trash of the user, which
// Wine's recycle bin is too (under the Unix folder that XDG_DATA_HOME names).
std::string TrashFiles() {
#ifdef _WIN32
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data == nullptr || *data != '/') return "";
  std::string folder = std::string("Z:") + data + "/Trash/files/";
  for (char& c : folder) c = c == '/' ? '\\' : c;
  return folder;
#else
  return platform::HomeTrashFolder() + "/files/";
#endif
}

TEST(CliSystemTest, TheSamplesListAsOnEverySystem) {
  for (const char* sample : {"AP_Alpes", "AP_IleDeFrance", "AP_PAYS-BAS"}) {
    const std::string file = kSamples + platform::kPathDelimiter + sample +
                             (std::string(sample) == "AP_PAYS-BAS" ? ".BGL" : ".bgl");
    const test::ProgramRun run = Cli({"list", "--json", file});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(WithoutPath(run.out), test::ReadText(kExpected + "/" + sample + ".json")) << sample;
  }
}

// --version names the project's version and --help prints the usage text, both on standard
// output and with success, on every system.
TEST(CliSystemTest, VersionAndHelpAnswerOnStandardOutput) {
  const test::ProgramRun version = Cli({"--version"});
  EXPECT_EQ(version.exit, 0);
  EXPECT_EQ(version.out, "qorbgl-cli (QORBgl) " QORBGL_VERSION "\n");
  EXPECT_EQ(version.err, "");
  for (const char* help : {"--help", "-h", "help"}) {
    const test::ProgramRun run = Cli({help});
    EXPECT_EQ(run.exit, 0) << help;
    EXPECT_EQ(run.out.rfind("Utilisation :\n", 0), 0u) << help << run.out;
    for (const char* line :
         {"list FICHIER", "files DOSSIER", "find DOSSIER", "set FICHIER", "--help", "--version"}) {
      EXPECT_NE(run.out.find(std::string("qorbgl-cli ") + line), std::string::npos)
          << help << ": " << line;
    }
    EXPECT_EQ(run.err, "") << help;
  }
}

// A rewrite in a folder and a file whose names hold accents and blanks: four bytes change, the
// first copy goes to the desktop's "QORBgl Backup", and the copy a later run makes sends the
// older one to the recycle bin.
TEST(CliSystemTest, ARewriteBacksUpOnTheDesktopAndKeepsTheOlderCopyInTheBin) {
  test::TempFolder dir;
  const std::string folder = dir / "Scène d'été";
  fs::create_directory(test::Utf8Path(folder));
  const std::string name = "Aéroport été " + std::to_string(std::random_device{}()) + ".bgl";
  const std::string file = folder + platform::kPathDelimiter + name;
  test::BglBuilder b;
  auto& ap = b.AddSection(3).AddSubSection().AddAirport().Name("Été").Elevation(432000);
  ap.Runway(9, 1, 431000);
  const test::Bytes original = b.WriteTo(file);
  const std::string backup =
      platform::UserDesktopFolder() + "QORBgl Backup" + platform::kPathDelimiter + name;

  test::ProgramRun run = Cli({"files", folder});
  EXPECT_EQ(run.out, name + "\n") << run.err;
  const std::string offset = std::to_string(ap.elevationOffset);
  run = Cli({"set", file, "--offset", offset, "--elevation", "433,5"});
  ASSERT_EQ(run.exit, 0) << run.err;
  test::Bytes changed = test::ReadFile(file);
  ASSERT_EQ(changed.size(), original.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (changed[i] == original[i]) continue;
    ++differing;
    EXPECT_TRUE(i >= ap.elevationOffset && i < ap.elevationOffset + 4) << "byte " << i;
  }
  EXPECT_GE(differing, 1u);
  EXPECT_EQ(test::ReadFile(backup), original);

  // A second run takes its own copy, of the file as it is now; the older copy goes to the bin.
  run = Cli({"set", file, "--offset", offset, "--elevation", "440"});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(test::ReadFile(backup), changed);
  const std::string trash = TrashFiles();
  bool inTheBin = false;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(test::Utf8Path(trash), ec)) {
    const std::u8string found = entry.path().filename().u8string();
    if (std::string(found.begin(), found.end()).rfind(name.substr(0, name.size() - 4), 0) != 0) {
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    inTheBin = inTheBin || test::Bytes(std::istreambuf_iterator<char>(in), {}) == original;
  }
  EXPECT_TRUE(inTheBin) << "not in " << trash;
  fs::remove(test::Utf8Path(backup), ec);
}

}  // namespace
}  // namespace qor
