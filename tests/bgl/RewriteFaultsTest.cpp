// The rewrite path (backup copy, trash, the write, its flush) with system calls that fail as a
// full disk, a dying disk or another program would make them fail.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "platform/Errors.h"
#include "platform/SysCalls_posix.h"
#include "tests/bgl/OneAirportFile.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/ScriptedDialog.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// The real calls, except where a row's knob says otherwise.
class FaultyCalls : public platform::SysCalls {
 public:
  // write(2) (the backup copy, the trash's info file): this many bytes go through, then every
  // call fails with writeErrno.
  long writeBudget = -1;
  int writeErrno = ENOSPC;
  // pwrite(2) (the four bytes): this many bytes go through, then pwriteFailures calls fail
  // with pwriteErrno (0: they write nothing and return 0), then the calls work again.
  long pwriteBudget = -1;
  int pwriteFailures = 0;
  int pwriteErrno = EIO;
  std::function<void()> beforeFirstPwrite;
  int fdatasyncErrno = 0;
  int fsyncErrno = 0;
  int fstatErrno = 0;
  bool fstatFailsOncePwritten = false;
  int statErrno = 0;
  std::string renameRefusedInto;  // a rename whose target holds this text fails with EACCES

  ssize_t Write(int fd, const void* data, std::size_t n) override {
    if (writeBudget < 0) return SysCalls::Write(fd, data, n);
    if (writeBudget == 0) return Fail(writeErrno);
    const ssize_t put = SysCalls::Write(fd, data, std::min<std::size_t>(n, writeBudget));
    if (put > 0) writeBudget -= put;
    return put;
  }
  ssize_t PWrite(int fd, const void* data, std::size_t n, off_t offset) override {
    if (beforeFirstPwrite) std::exchange(beforeFirstPwrite, nullptr)();
    pwritten_ = true;
    if (pwriteBudget < 0) return SysCalls::PWrite(fd, data, n, offset);
    if (pwriteBudget == 0) {
      if (pwriteFailures == 0) return SysCalls::PWrite(fd, data, n, offset);
      --pwriteFailures;
      return pwriteErrno == 0 ? 0 : Fail(pwriteErrno);
    }
    const ssize_t put = SysCalls::PWrite(fd, data, std::min<std::size_t>(n, pwriteBudget), offset);
    if (put > 0) pwriteBudget -= put;
    return put;
  }
  int FDataSync(int fd) override {
    return fdatasyncErrno != 0 ? Fail(fdatasyncErrno) : SysCalls::FDataSync(fd);
  }
  int FSync(int fd) override { return fsyncErrno != 0 ? Fail(fsyncErrno) : SysCalls::FSync(fd); }
  int FStat(int fd, struct stat* st) override {
    if (fstatErrno != 0 && (!fstatFailsOncePwritten || pwritten_)) return Fail(fstatErrno);
    return SysCalls::FStat(fd, st);
  }
  int Stat(const char* path, struct stat* st) override {
    return statErrno != 0 ? Fail(statErrno) : SysCalls::Stat(path, st);
  }
  int RenameNoReplace(const char* from, const char* to) override {
    return Refused(to) ? Fail(EACCES) : SysCalls::RenameNoReplace(from, to);
  }
  int Rename(const char* from, const char* to) override {
    return Refused(to) ? Fail(EACCES) : SysCalls::Rename(from, to);
  }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  bool Refused(const char* to) const {
    return !renameRefusedInto.empty() &&
           std::string(to).find(renameRefusedInto) != std::string::npos;
  }
  bool pwritten_ = false;
};

// What a row leaves behind.
enum class After { kOriginal, kWritten, kTwoBytesWritten, kTheirs, kGone };
enum class Backup { kNone, kOriginal, kOlder };
enum class Outcome { kRefused, kThrows, kWritten };

struct Row {
  const char* name;
  bool olderBackup;  // an older copy ("old") lies in the backup folder
  std::function<void(FaultyCalls&, const std::string& path)> arm;
  Outcome outcome;
  const char* told;  // part of the exception's text, of the question or of a message
  After file;
  Backup backup;
  bool olderInTrash = false;
  bool nextWriteRefused = false;  // a second write through the same object asks for a reopen
};

const Bytes kOlder = {'o', 'l', 'd'};
const Bytes kTheirs = {'t', 'h', 'e', 'i', 'r', 's'};

class RewriteFaultsTest : public test::OneAirportFile {};

TEST_F(RewriteFaultsTest, NoFaultLosesTheFileOrLeavesAHalfCopyAndTheUserIsAlwaysTold) {
  const Row rows[] = {
      {"the disk fills up during the backup copy", false,
       [](FaultyCalls& c, const std::string&) { c.writeBudget = 100; }, Outcome::kRefused,
       "Je n'ai pas pu créer une copie de sécurité", After::kOriginal, Backup::kNone},
      {"the disk fills up while an older copy waits to go to the trash", true,
       [](FaultyCalls& c, const std::string&) { c.writeBudget = 200; }, Outcome::kRefused,
       "Je n'ai pas pu créer une copie de sécurité", After::kOriginal, Backup::kOlder},
      {"the backup copy cannot be flushed", false,
       [](FaultyCalls& c, const std::string&) { c.fsyncErrno = EIO; }, Outcome::kRefused,
       "Je n'ai pas pu créer une copie de sécurité", After::kOriginal, Backup::kNone},
      {"the trash refuses the older copy", true,
       [](FaultyCalls& c, const std::string&) { c.renameRefusedInto = "/Trash/files/"; },
       Outcome::kRefused, "Je n'ai pas pu créer une copie de sécurité", After::kOriginal,
       Backup::kOlder},
      {"the trash's record of the older copy cannot be written", true,
       [](FaultyCalls& c, const std::string&) {
         c.writeBudget = 10;
         c.writeErrno = EIO;
       },
       Outcome::kRefused, "Je n'ai pas pu créer une copie de sécurité", After::kOriginal,
       Backup::kOlder},
      {"two of four bytes written, then an error; the old ones go back", false,
       [](FaultyCalls& c, const std::string&) {
         c.pwriteBudget = 2;
         c.pwriteFailures = 1;
       },
       Outcome::kThrows, "J'ai remis l'ancienne valeur à sa place", After::kOriginal,
       Backup::kOriginal},
      {"two of four bytes written, then nothing more, not even the old ones", false,
       [](FaultyCalls& c, const std::string&) {
         c.pwriteBudget = 2;
         c.pwriteFailures = 1000;
         c.pwriteErrno = 0;
       },
       Outcome::kThrows,
       "sont peut-être en partie changés. Le journal des modifications les garde : le prochain "
       "lancement de QORBgl les remettra",
       After::kTwoBytesWritten, Backup::kOriginal, false, true},
      {"the write is not flushed to the disk", false,
       [](FaultyCalls& c, const std::string&) { c.fdatasyncErrno = EIO; }, Outcome::kThrows,
       "erreur d'entrée-sortie du disque.\r\n\r\nJe n'ai pas pu remettre les anciennes valeurs",
       After::kOriginal, Backup::kOriginal, false, true},
      {"the file is removed between the check and the write", false,
       [](FaultyCalls& c, const std::string& path) {
         c.beforeFirstPwrite = [path] { fs::remove(path); };
       },
       Outcome::kThrows, "supprimé par un autre programme pendant que j'y écrivais", After::kGone,
       Backup::kOriginal, false, true},
      {"the file is replaced between the check and the write", false,
       [](FaultyCalls& c, const std::string& path) {
         c.beforeFirstPwrite = [path] {
           test::WriteFile(path + ".new", kTheirs);
           fs::rename(path + ".new", path);
         };
       },
       Outcome::kThrows, "J'ai remis l'ancienne valeur à sa place", After::kTheirs,
       Backup::kOriginal, false, true},
      {"the state of the open file cannot be read", false,
       [](FaultyCalls& c, const std::string&) { c.fstatErrno = EIO; }, Outcome::kThrows,
       "Impossible de lire l'état du fichier", After::kOriginal, Backup::kNone},
      {"the state cannot be read once the bytes are written", false,
       [](FaultyCalls& c, const std::string&) {
         c.fstatErrno = EIO;
         c.fstatFailsOncePwritten = true;
       },
       Outcome::kWritten, "Une copie de sécurité a été placée", After::kWritten, Backup::kOriginal,
       false, true},
      {"the file's name cannot be looked at", false,
       [](FaultyCalls& c, const std::string&) { c.statErrno = EIO; }, Outcome::kRefused,
       "Rouvrez-le avant de le modifier : je n'y ai rien écrit", After::kOriginal, Backup::kNone},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(home_ / "Bureau");
    fs::remove_all(home_ / "data");
    test::WriteFile(path_, original_);
    // File times tick coarsely: an older time lets the write be seen as a change.
    fs::last_write_time(path_, fs::file_time_type::clock::now() - std::chrono::hours(1));
    if (row.olderBackup) {
      fs::create_directories(backupFolder_);
      test::WriteFile(backupFolder_ + "/AP.bgl", kOlder);
    }
    journal_ = {};
    auto bgl = std::make_unique<TBGL>(path_, desktop_);
    test::ScriptedDialog user;  // answers "no" to going on without a copy
    FaultyCalls calls;
    row.arm(calls, path_);
    {
      const platform::ScopedSysCalls faulty(calls);
      std::string told;
      Outcome outcome = Outcome::kRefused;
      try {
        outcome = bgl->ReplaceValue(elevation_, 'D', Variant::Integer(-1), user)
                      ? Outcome::kWritten
                      : Outcome::kRefused;
      } catch (const EInOutError& e) {
        outcome = Outcome::kThrows;
        told = e.what();
      }
      EXPECT_EQ(outcome, row.outcome);
      for (const auto& q : user.questions) told += "|" + q.text;
      for (const auto& m : user.messages) told += "|" + m;
      EXPECT_NE(told.find(row.told), std::string::npos) << told;
      // The journal says what the user was told: a change recorded before any byte was
      // written, marked done, put back, or left for the next run to put back.
      const bool begun = outcome == Outcome::kWritten ||
                         told.find("remettre") != std::string::npos ||
                         told.find("J'ai remis") != std::string::npos;
      EXPECT_EQ(journal_.begun.size(), begun ? 1u : 0u);
      if (outcome == Outcome::kWritten || told.find("J'ai remis") != std::string::npos) {
        ASSERT_EQ(journal_.ended.size(), 1u);
        EXPECT_EQ(journal_.ended[0].end, outcome == Outcome::kWritten
                                             ? ChangeJournal::End::Done
                                             : ChangeJournal::End::RolledBack);
      } else {
        EXPECT_TRUE(journal_.ended.empty());
      }

      if (row.nextWriteRefused) {
        user.messages.clear();
        EXPECT_FALSE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(5), user));
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_NE(user.messages[0].find("Rouvrez-le"), std::string::npos) << user.messages[0];
      }
    }
    bgl.reset();

    Bytes expected = original_;
    const Bytes written = {0xFF, 0xFF, 0xFF, 0xFF};
    switch (row.file) {
      case After::kWritten:
        std::copy(written.begin(), written.end(), expected.begin() + elevation_);
        break;
      case After::kTwoBytesWritten:
        std::copy(written.begin(), written.begin() + 2, expected.begin() + elevation_);
        break;
      case After::kTheirs:
        expected = kTheirs;
        break;
      default:
        break;
    }
    if (row.file == After::kGone) {
      EXPECT_FALSE(fs::exists(path_));
    } else {
      EXPECT_EQ(test::ReadFile(path_), expected);
    }

    // The backup folder holds a whole copy under its name or none, never a temporary one.
    std::vector<std::string> names;
    if (fs::exists(backupFolder_)) {
      for (const auto& entry : fs::directory_iterator(backupFolder_)) {
        names.push_back(entry.path().filename().string());
      }
    }
    const std::vector<std::string> one = {"AP.bgl"};
    EXPECT_EQ(names, row.backup == Backup::kNone ? std::vector<std::string>{} : one);
    if (row.backup != Backup::kNone && fs::exists(backupFolder_ + "/AP.bgl")) {
      EXPECT_EQ(test::ReadFile(backupFolder_ + "/AP.bgl"),
                row.backup == Backup::kOlder ? kOlder : original_);
    }
    // The trash holds the older copy with its info file, or nothing at all.
    const bool trashed = fs::exists(home_ / "data/Trash/files/AP.bgl");
    EXPECT_EQ(trashed, row.olderInTrash);
    if (trashed) {
      EXPECT_EQ(test::ReadFile(home_ / "data/Trash/files/AP.bgl"), kOlder);
    }
    EXPECT_EQ(fs::exists(home_ / "data/Trash/info/AP.bgl.trashinfo"), row.olderInTrash);
  }
}

// The file moved away under another name while it was written: the name is free, and the file
// that moved is still what it was.
TEST_F(RewriteFaultsTest, AFileMovedAwayDuringTheWriteIsPutBackAsItWas) {
  auto bgl = std::make_unique<TBGL>(path_, desktop_);
  test::ScriptedDialog user;
  FaultyCalls calls;
  const std::string moved = path_ + ".moved";
  calls.beforeFirstPwrite = [&] { fs::rename(path_, moved); };
  const platform::ScopedSysCalls faulty(calls);
  EXPECT_THROW(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(-1), user), EInOutError);
  EXPECT_EQ(test::ReadFile(moved), original_);
  EXPECT_FALSE(fs::exists(path_));
}

// The window waits on its questions, its files let go meanwhile; another program may change the
// file then.
TEST_F(RewriteFaultsTest, AFileChangedWhileTheUserAnswersIsNotWritten) {
  struct Meddling : test::ScriptedDialog {
    std::string path;
    int MsgBox(const std::string& text, const std::string& caption, int flags) override {
      test::WriteFile(path, kTheirs);
      ScriptedDialog::MsgBox(text, caption, flags);
      return kIdYes;  // go on without a copy
    }
  } user;
  user.path = path_;
  test::WriteFile(home_ / "Bureau", {});  // no copy can be made: the question comes
  fs::last_write_time(path_, fs::file_time_type::clock::now() - std::chrono::hours(1));
  TBGL bgl(path_, desktop_);
  EXPECT_FALSE(bgl.ReplaceValue(elevation_, 'D', Variant::Integer(-1), user));
  EXPECT_EQ(user.questions.size(), 1u);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find("Rouvrez-le"), std::string::npos) << user.messages[0];
  EXPECT_EQ(test::ReadFile(path_), kTheirs);
  EXPECT_TRUE(journal_.begun.empty());
}

}  // namespace
}  // namespace qor
