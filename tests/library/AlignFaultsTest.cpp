// An alignment meeting trouble on its way, forced through the system calls of the file layer:
// a file changed by another program between the copies and the writes, a copy that cannot be
// made. Nothing is written, and no older copy has gone to the recycle bin.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "library/Align.h"
#include "library/Journal.h"
#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/SysCalls_posix.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"

namespace qor::library {
namespace {

namespace fs = std::filesystem;

class Meddling : public platform::SysCalls {
 public:
  // Runs before the first placing of a copy under its name in the backup folder.
  std::function<void()> beforePlacing;
  // write(2) of the copies: this many bytes go through, then the disk is full.
  long writeBudget = -1;

  int RenameNoReplace(const char* from, const char* to) override {
    if (beforePlacing && std::string(to).find("QORBgl Backup") != std::string::npos) {
      std::exchange(beforePlacing, nullptr)();
    }
    return SysCalls::RenameNoReplace(from, to);
  }
  ssize_t Write(int fd, const void* data, std::size_t n) override {
    if (writeBudget < 0) return SysCalls::Write(fd, data, n);
    if (writeBudget == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t put = SysCalls::Write(fd, data, std::min<std::size_t>(n, writeBudget));
    if (put > 0) writeBudget -= put;
    return put;
  }
};

class AlignFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnv("XDG_DATA_HOME", dir_ / "data");  // the trash of this test alone
    std::string cfg;
    for (int a = 0; a < 2; ++a) {
      const std::string area = "Zone" + std::to_string(a);
      fs::create_directories(dir_ / (area + "/scenery"));
      test::BglBuilder b;
      b.AddSection(3)
          .AddSubSection()
          .AddAirport()
          .Name("Courchevel")
          .Icao("LFLJ")
          .Elevation(2008000 + a * 1000);
      files_.push_back(dir_ / (area + "/scenery/AP" + std::to_string(a) + ".bgl"));
      originals_.push_back(b.WriteTo(files_.back()));
      cfg += "[Area.00" + std::to_string(a + 1) + "]\nTitle=" + area + "\nLocal=" + area +
             "\nLayer=" + std::to_string(a + 1) + "\n";
      // An older copy of each waits in the backup folder.
      fs::create_directories(backup_);
      test::WriteText(backup_ + "/AP" + std::to_string(a) + ".bgl", "older");
    }
    test::WriteText(dir_ / "scenery.cfg", cfg);
  }
  void AlignAll() {
    const Library library = ScanLibrary(ReadSceneryConfig(dir_.Path()));
    std::vector<const Definition*> active;
    for (const Definition* d : Where(library, "LFLJ")) active.push_back(d);
    ASSERT_EQ(active.size(), 2u);
    Align(library, PlanAlign(library, active, 2007000, false), dir_ / "Bureau/", true, {});
  }
  // Nothing written, the older copies in their place, nothing in the bin, no copy half made.
  void ExpectUntouched() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      EXPECT_EQ(test::ReadFile(files_[i]), originals_[i]) << files_[i];
      EXPECT_EQ(test::ReadText(backup_ + "/AP" + std::to_string(i) + ".bgl"), "older");
    }
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(backup_)) names.push_back(e.path().filename());
    EXPECT_EQ(names.size(), 2u);
    EXPECT_FALSE(fs::exists(dir_ / "data/Trash/files"));
  }

  test::TempFolder dir_;
  std::string backup_ = dir_ / "Bureau/QORBgl Backup";
  std::vector<std::string> files_;
  std::vector<test::Bytes> originals_;
};

TEST_F(AlignFaultsTest, ACopyThatCannotBeMadeStopsItBeforeAnOlderCopyGoesToTheBin) {
  Meddling calls;
  calls.writeBudget = static_cast<long>(originals_[0].size() + 10);  // the second copy fails
  {
    const platform::ScopedSysCalls faulty(calls);
    EXPECT_THROW(AlignAll(), Exception);
  }
  ExpectUntouched();
}

TEST_F(AlignFaultsTest, AFileChangedBetweenTheCopiesAndTheWritesStopsItWhole) {
  Meddling calls;
  calls.beforePlacing = [this] {
    test::Bytes theirs = originals_[1];
    theirs.back() ^= 0xFF;
    test::WriteFile(files_[1], theirs);
    fs::last_write_time(files_[1], fs::file_time_type::clock::now() + std::chrono::hours(1));
  };
  {
    const platform::ScopedSysCalls faulty(calls);
    try {
      AlignAll();
      ADD_FAILURE() << "aligned a file changed meanwhile";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("AP1.bgl"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(test::ReadFile(files_[0]), originals_[0]);  // no half alignment
}

}  // namespace
}  // namespace qor::library
