// The journal of changes on disk, on every system: what it records reads back, a line cut short
// or damaged is passed over, a full journal keeps every unfinished change, two processes append
// at once without losing a record; and what the next run does with a change cut short.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

#include "bgl/Bgl.h"
#include "bgl/Change.h"
#include "lang/Language.h"
#include "library/Journal.h"
#include "library/Recovery.h"
#include "library/Undo.h"
#include "platform/File.h"
#include "platform/Process.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Program.h"
#include "tests/support/ScriptedDialog.h"
#include "tests/support/TempFolder.h"

namespace qor::library {
namespace {

namespace fs = std::filesystem;
using State = JournalChange::State;

ChangeRecord OneField(const std::string& command, std::uint32_t offset) {
  FieldEdit edit;
  edit.offset = offset;
  edit.before = {1, 2, 3, 4};
  edit.after = {5, 6, 7, 8};
  edit.what = "Piste 24 de « Nord » 100%";
  return {command, 0, {{"/scènes/un fichier.bgl", {1, 2, 3, 4}, {edit}}}};
}

std::vector<std::uint64_t> Ids(const JournalContents& contents) {
  std::vector<std::uint64_t> ids;
  for (const JournalChange& c : contents.changes) ids.push_back(c.id);
  return ids;
}

class JournalTest : public ::testing::Test {
 protected:
  test::TempFolder dir_;
  std::string path_ = dir_ / "QORBgl" + platform::kPathDelimiter + "journal";
};

TEST_F(JournalTest, WhatItRecordsReadsBackAndADamagedLineIsPassedOver) {
  Journal journal(path_);
  const std::uint64_t one = journal.Begin(OneField("set", 100));
  journal.Finish(one, ChangeJournal::End::Done);
  const std::uint64_t two = journal.Begin(OneField("align LFLJ", 200));
  journal.NoteBackup({"/scènes/un fichier.bgl", {1, 2, 3, 4}, "/Bureau/QORBgl Backup/x.bgl"});
  const std::uint64_t three = journal.Begin(OneField("set", 300));
  ASSERT_EQ((std::vector<std::uint64_t>{one, two, three}), (std::vector<std::uint64_t>{1, 2, 3}));

  const JournalContents read = journal.Read();
  ASSERT_EQ(read.changes.size(), 3u);
  EXPECT_EQ(read.changes[0].state, State::Done);
  EXPECT_EQ(read.changes[1].state, State::Unfinished);
  const FileEdit& file = read.changes[1].record.files.at(0);
  EXPECT_EQ(file.path, "/scènes/un fichier.bgl");
  EXPECT_EQ(file.stamp, (platform::File::Stamp{1, 2, 3, 4}));
  EXPECT_EQ(file.fields.at(0).what, "Piste 24 de « Nord » 100%");
  EXPECT_EQ(file.fields.at(0).after, (std::array<std::uint8_t, 4>{5, 6, 7, 8}));
  ASSERT_EQ(read.copies.size(), 1u);
  EXPECT_EQ(read.copies[0].record.copy, "/Bureau/QORBgl Backup/x.bgl");
  EXPECT_EQ(read.damaged, 0u);

  const std::string whole = test::ReadText(path_);
  // A journal of every kind of record: a seed of the fuzzer.
  if (const char* seeds = std::getenv("QORBGL_SEED_FOLDER")) {
    fs::create_directories(test::Utf8Path(seeds));
    test::WriteText(std::string(seeds) + platform::kPathDelimiter + "journal", whole);
  }
  const std::size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;
  const std::size_t secondLine = whole.find('\n') + 1;
  struct Row {
    const char* name;
    std::string bytes;
    std::vector<std::uint64_t> ids;  // the changes read back
  };
  std::string flipped = whole;
  flipped[secondLine + 20] ^= 0x01;  // the second record says something else than its checksum
  const Row rows[] = {
      {"the last record cut short", whole.substr(0, whole.size() - 7), {1, 2}},
      {"the last record cut before its line end", whole.substr(0, whole.size() - 1), {1, 2}},
      {"a byte of a record changed", flipped, {1, 3}},
      {"only a line end left of the last", whole.substr(0, lastLine) + "\n", {1, 2}},
      {"random bytes after the records", whole + "\x01\x9b[2J\xff garbage", {1, 2, 3}},
  };
  for (const Row& row : rows) {
    test::WriteText(path_, row.bytes);
    const JournalContents damaged = journal.Read();
    EXPECT_EQ(Ids(damaged), row.ids) << row.name;
    EXPECT_GE(damaged.damaged, 1u) << row.name;
    // A record appended after damage starts a line of its own and is read whole.
    const std::uint64_t next = journal.Begin(OneField("undo", 400));
    EXPECT_EQ(next, row.ids.back() + 1) << row.name;
    EXPECT_EQ(Ids(journal.Read()).back(), next) << row.name;
  }
}

TEST_F(JournalTest, AFullJournalDropsItsOldestRecordsButNeverAnUnfinishedChange) {
  Journal journal(path_, 8 * 1024);
  const std::uint64_t unfinished = journal.Begin(OneField("align LFLJ", 1));
  for (int i = 0; i < 200; ++i) {
    journal.Finish(journal.Begin(OneField("set", 1000 + i)), ChangeJournal::End::Done);
  }
  EXPECT_LE(fs::file_size(test::Utf8Path(path_)), 8u * 1024u);
  const JournalContents read = journal.Read();
  EXPECT_EQ(read.damaged, 0u);
  ASSERT_GE(read.changes.size(), 10u);
  EXPECT_EQ(read.changes.front().id, unfinished);
  EXPECT_EQ(read.changes.front().state, State::Unfinished);
  EXPECT_EQ(read.changes.back().id, 201u);  // the newest kept, numbers going on
  EXPECT_EQ(read.changes.back().state, State::Done);
  EXPECT_LT(read.changes.size(), 150u);  // the oldest finished ones went
}

// A change's number follows the last one recorded, however many other records lie after it.
TEST_F(JournalTest, NumbersGoOnPastManyRecordsOfCopies) {
  Journal journal(path_);
  journal.Finish(journal.Begin(OneField("set", 1)), ChangeJournal::End::Done);
  journal.Begin(OneField("set", 2));
  for (int i = 0; i < 2000; ++i) {
    journal.NoteBackup({"/scènes/" + std::to_string(i) + ".bgl", {1, 2, 3, 4}, "/copie"});
  }
  ASSERT_GT(fs::file_size(test::Utf8Path(path_)), 100u * 1024u);  // more than a piece read back
  EXPECT_EQ(journal.Begin(OneField("set", 3)), 3u);
  const JournalContents read = journal.Read();
  EXPECT_EQ(Ids(read), (std::vector<std::uint64_t>{1, 2, 3}));
  EXPECT_EQ(read.copies.size(), 2000u);
}

// A journal grown far past any size of its own (another program wrote it) is read from its end:
// no allocation of its size, the newest records kept, and appends go after its last byte.
TEST_F(JournalTest, AHugeJournalIsReadFromItsEndOnly) {
  Journal journal(path_);
  journal.Begin(OneField("set", 1));
  const std::string first = test::ReadText(path_);
  test::WriteText(path_, std::string(20 * 1024 * 1024, 'x') + "\n" + first);
  EXPECT_EQ(Ids(journal.Read()), std::vector<std::uint64_t>{1});
  journal.Finish(1, ChangeJournal::End::Done);
  const JournalContents read = journal.Read();
  ASSERT_EQ(read.changes.size(), 1u);
  EXPECT_EQ(read.changes[0].state, State::Done);
  EXPECT_LE(fs::file_size(test::Utf8Path(path_)), Journal::kDefaultLimit);  // trimmed
}

// The half of the test below that runs in each of the processes it starts.
TEST(JournalChild, AppendsItsChanges) {
  const char* path = std::getenv("QORBGL_TEST_JOURNAL");
  if (path == nullptr) GTEST_SKIP() << "run by TwoProcessesAppendingAtOnceLoseNothing";
  Journal journal(path);
  for (int i = 0; i < 40; ++i) {
    journal.Finish(journal.Begin(OneField("set", static_cast<std::uint32_t>(i))),
                   ChangeJournal::End::Done);
  }
}

TEST_F(JournalTest, TwoProcessesAppendingAtOnceLoseNothing) {
  const std::string self = platform::ProgramFilePath();
  ASSERT_FALSE(self.empty());
  std::vector<test::ProgramRun> runs(3);
  std::vector<std::thread> children;
  for (test::ProgramRun& run : runs) {
    children.emplace_back([&] {
      run = test::RunProgram(self, {"--gtest_filter=JournalChild.AppendsItsChanges"},
                             {{"QORBGL_TEST_JOURNAL", path_}});
    });
  }
  for (std::thread& child : children) child.join();
  for (const test::ProgramRun& run : runs) ASSERT_EQ(run.exit, 0) << run.out << run.err;
  const JournalContents read = Journal(path_).Read();
  EXPECT_EQ(read.damaged, 0u);
  ASSERT_EQ(read.changes.size(), 120u);
  for (std::size_t i = 0; i < read.changes.size(); ++i) {
    EXPECT_EQ(read.changes[i].id, i + 1);  // each number given once
    EXPECT_EQ(read.changes[i].state, State::Done) << read.changes[i].id;
  }
}

// A change cut short, as a killed process leaves it: recorded, some fields written, never
// marked done; the next run puts back what it can prove.
class RecoveryTest : public JournalTest {
 protected:
  void SetUp() override {
    test::BglBuilder b;
    auto& ap = b.AddSection(3).AddSubSection().AddAirport().Name("Nord").Elevation(432000);
    ap.Runway(24, 1, 431000).Start(6, 2, 430000);
    original_ = b.WriteTo(file_);
    fields_ = {ap.elevationOffset, ap.elements[0].elevationOffset, ap.elements[1].elevationOffset};
  }
  // Begins the change of all three fields to 2007 m and writes them, never marking it done.
  void CutShort(Journal& journal) {
    TBGL bgl(file_, dir_ / "Bureau");
    ChangeRecord record{"align LFLJ", 0, {{file_, bgl.SeenStamp(), {}}}};
    for (const std::uint32_t offset : fields_) {
      FieldEdit e;
      e.offset = offset;
      const std::int32_t old = bgl.ElevationAt(offset);
      std::memcpy(e.before.data(), &old, 4);
      const std::int32_t mm = 2007000;
      std::memcpy(e.after.data(), &mm, 4);
      record.files[0].fields.push_back(e);
    }
    journal.Begin(record);
    const auto file = platform::File::OpenReadWrite(file_);
    for (const FieldEdit& e : record.files[0].fields) file->WriteAt(e.offset, e.after.data(), 4);
  }
  std::int32_t At(std::uint32_t offset) {
    const test::Bytes bytes = test::ReadFile(file_);
    std::int32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
  }

  std::string file_ = dir_ / "AP.bgl";
  test::Bytes original_;
  std::vector<std::uint32_t> fields_;
};

TEST_F(RecoveryTest, OnlyFieldsThatStillHoldTheNewBytesArePutBack) {
  struct Row {
    const char* name;
    void (*meddle)(const std::string& file, const std::vector<std::uint32_t>& fields);
    std::vector<std::int32_t> after;  // the three fields once recovered
    const char* says;
  };
  const Row rows[] = {
      {"killed after every write",
       [](const std::string&, const std::vector<std::uint32_t>&) {},
       {432000, 431000, 430000},
       "3 altitudes remises à l'ancienne valeur dans 1 fichier."},
      {"killed before the last write",
       [](const std::string& file, const std::vector<std::uint32_t>& f) {
         const std::int32_t old = 430000;
         platform::File::OpenReadWrite(file)->WriteAt(f[2], &old, 4);
       },
       {432000, 431000, 430000},
       "2 altitudes remises"},
      {"a field changed since by someone else",
       [](const std::string& file, const std::vector<std::uint32_t>& f) {
         const std::int32_t theirs = 1234;
         platform::File::OpenReadWrite(file)->WriteAt(f[1], &theirs, 4);
       },
       {432000, 1234, 430000},
       "1 laissée telle quelle, car elle ne tenait plus la nouvelle"},
      {"the file replaced by another",
       [](const std::string& file, const std::vector<std::uint32_t>&) {
         const test::Bytes now = test::ReadFile(file);
         test::WriteFile(file + ".new", now);
         fs::rename(test::Utf8Path(file + ".new"), test::Utf8Path(file));
       },
       {2007000, 2007000, 2007000},
       "3 laissées telles quelles"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::WriteFile(file_, original_);
    fs::remove(test::Utf8Path(path_));
    Journal journal(path_);
    CutShort(journal);
    row.meddle(file_, fields_);
    const std::vector<std::string> lines = RecoverUnfinished(journal);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("« align LFLJ »"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(row.says), std::string::npos) << lines[0];
    EXPECT_EQ((std::vector<std::int32_t>{At(fields_[0]), At(fields_[1]), At(fields_[2])}),
              row.after);
    EXPECT_EQ(journal.Read().changes.at(0).state, State::RolledBack);
    EXPECT_TRUE(RecoverUnfinished(journal).empty());  // once only
  }
}

// The line is one sentence of the language chosen, its counts in the singular or the plural,
// the moment written in the language's own way.
TEST_F(RecoveryTest, TheLineIsOneSentenceOfTheLanguageChosen) {
  using Meddle = std::function<void(const std::string&, const std::vector<std::uint32_t>&)>;
  const Meddle changeOne = [](const std::string& file, const std::vector<std::uint32_t>& f) {
    const std::int32_t theirs = 1234;
    platform::File::OpenReadWrite(file)->WriteAt(f[1], &theirs, 4);
  };
  const Meddle changeTwo = [&](const std::string& file, const std::vector<std::uint32_t>& f) {
    changeOne(file, f);
    platform::File::OpenReadWrite(file)->WriteAt(f[2], "\0\0\0\0", 4);
  };
  const struct {
    lang::Language language;
    Meddle meddle;
    std::string opening, says, moment;  // the moment as a pattern
  } rows[] = {
      {lang::Language::kFrench, changeOne, "La modification « align LFLJ » du ",
       " a été interrompue : je l'ai défaite, 2 altitudes remises à l'ancienne valeur dans 1 "
       "fichier ; 1 laissée telle quelle, car elle ne tenait plus la nouvelle valeur.",
       R"(\d\d/\d\d/\d{4} \d\d:\d\d)"},
      {lang::Language::kEnglish, changeOne, "The change \"align LFLJ\" of ",
       " was interrupted: I have undone it, 2 elevations set back to the old value in 1 file; 1 "
       "left as it was, as it no longer held the new value.",
       R"(\d\d/\d\d/\d{4} \d\d:\d\d)"},
      {lang::Language::kEnglish, changeTwo, "The change \"align LFLJ\" of ",
       " was interrupted: I have undone it, 1 elevation set back to the old value in 1 file; 2 "
       "left as they were, as they no longer held the new value.",
       R"(\d\d/\d\d/\d{4} \d\d:\d\d)"},
      {lang::Language::kGerman, changeTwo, "Die Änderung „align LFLJ“ vom ",
       " wurde unterbrochen: Ich habe sie rückgängig gemacht und 1 Höhe in 1 Datei auf den alten "
       "Wert zurückgesetzt; 2 blieben unverändert, da sie den neuen Wert nicht mehr enthielten.",
       R"(\d\d\.\d\d\.\d{4} \d\d:\d\d)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(lang::Code(row.language));
    test::WriteFile(file_, original_);
    fs::remove(test::Utf8Path(path_));
    Journal journal(path_);
    CutShort(journal);
    row.meddle(file_, fields_);
    lang::SetCurrent(row.language);
    const std::vector<std::string> lines = RecoverUnfinished(journal);
    const std::string moment = MomentText(journal.Read().changes.at(0).timeMs);
    lang::SetCurrent(lang::Language::kFrench);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], row.opening + moment + row.says);
    EXPECT_TRUE(std::regex_match(moment, std::regex(row.moment))) << moment;
  }
}

TEST_F(RecoveryTest, AChangeWhoseWriterStillHoldsItsFileIsLeftToIt) {
  Journal journal(path_);
  CutShort(journal);
  const auto writer = platform::File::OpenReadWrite(file_);
  ASSERT_TRUE(writer->Lock(std::chrono::milliseconds(0)));
  EXPECT_TRUE(RecoverUnfinished(journal).empty());
  EXPECT_EQ(At(fields_[0]), 2007000);
  EXPECT_EQ(journal.Read().changes.at(0).state, State::Unfinished);
  writer->Unlock();
  EXPECT_EQ(RecoverUnfinished(journal).size(), 1u);
  EXPECT_EQ(At(fields_[0]), 432000);
}

TEST_F(RecoveryTest, UndoTakesBackTheLastChangeFieldByFieldAndTheNextGoesFurtherBack) {
  Journal journal(path_);
  const ScopedJournal inPlace(journal);
  TBGL bgl(file_, dir_ / "Bureau");
  test::ScriptedDialog user;
  std::vector<FileWrites> change{{&bgl, {}, {}}};
  for (const std::uint32_t offset : fields_)
    change[0].fields.push_back({offset, 'D', 2007000, {}, ""});
  ASSERT_TRUE(WriteChange(change, ChangeOptions{}, user).accepted);
  const std::int32_t theirs = 99;
  platform::File::OpenReadWrite(file_)->WriteAt(fields_[2], &theirs, 4);
  const std::int32_t already = 431000;  // put back by someone else: nothing left to do there
  platform::File::OpenReadWrite(file_)->WriteAt(fields_[1], &already, 4);

  std::optional<JournalChange> last = LastUndoable(journal.Read());
  ASSERT_TRUE(last);
  const UndoOutcome undone = Undo(*last, "undo", dir_ / "Bureau", user);
  ASSERT_TRUE(undone.made);
  ASSERT_EQ(undone.fields.size(), 3u);
  EXPECT_TRUE(undone.fields[0].putBack);
  EXPECT_TRUE(undone.fields[1].putBack);
  EXPECT_FALSE(undone.fields[2].putBack);  // changed since: left as it is
  EXPECT_EQ((std::vector<std::int32_t>{At(fields_[0]), At(fields_[1]), At(fields_[2])}),
            (std::vector<std::int32_t>{432000, 431000, 99}));
  const JournalContents read = journal.Read();
  EXPECT_EQ(read.changes.at(0).state, State::Undone);
  EXPECT_EQ(read.changes.at(0).undoneBy, undone.change);
  // The undo is a change of its own, and the next undo goes further back: there is none.
  EXPECT_FALSE(LastUndoable(read));
}

}  // namespace
}  // namespace qor::library
