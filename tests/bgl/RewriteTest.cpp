#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "platform/File.h"
#include "tests/bgl/OneAirportFile.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Env.h"
#include "tests/support/ScriptedDialog.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

const char* const kCopied =
    "Une copie de sécurité a été placée dans le dossier \"QORBgl Backup\" sur votre "
    "bureau.\r\n\r\nVous pourrez la supprimer après contrôle du BGL modifié.";

class RewriteTest : public test::OneAirportFile {
 protected:
  std::unique_ptr<TBGL> Open() { return std::make_unique<TBGL>(path_, desktop_); }
  std::string Backup() const {
    return desktop_ + "QORBgl Backup" + platform::kPathDelimiter + "AP.bgl";
  }
  Bytes Patched(std::uint32_t at, const Bytes& bytes) const {
    Bytes b = original_;
    std::copy(bytes.begin(), bytes.end(), b.begin() + at);
    return b;
  }

  test::ScriptedDialog user_;
};

TEST_F(RewriteTest, WritesExactlyItsBytesLittleEndianAndNothingElse) {
  struct Row {
    char code;
    Variant value;
    Bytes bytes;
  };
  const Row rows[] = {
      {'D', Variant::Integer(482000), {0xD0, 0x5A, 0x07, 0x00}},
      {'D', Variant::Integer(-1250), {0x1E, 0xFB, 0xFF, 0xFF}},
      {'D', Variant::Real(433500.0), {0x5C, 0x9D, 0x06, 0x00}},
      {'W', Variant::Integer(513), {0x01, 0x02}},
      {'B', Variant::Integer(300), {0x2C}},
  };
  for (const Row& row : rows) {
    test::WriteFile(path_, original_);
    auto bgl = Open();
    ASSERT_TRUE(bgl->ReplaceValue(elevation_, row.code, row.value, user_)) << row.code;
    // The bytes around the field are the sentinels: the whole file is compared.
    EXPECT_EQ(test::ReadFile(path_), Patched(elevation_, row.bytes)) << row.code;
  }
}

TEST_F(RewriteTest, OneCopyAndOneMessageForTheWritesOfAnOpenFile) {
  auto bgl = Open();
  ASSERT_TRUE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(1), user_));
  ASSERT_TRUE(bgl->ReplaceValue(elevation_ + 4, 'D', Variant::Integer(2), user_));
  EXPECT_EQ(user_.messages, std::vector<std::string>{kCopied});
  EXPECT_TRUE(user_.questions.empty());
  EXPECT_EQ(test::ReadFile(Backup()), original_);  // taken before the first write
  EXPECT_EQ(test::ReadFile(path_).size(), original_.size());

  // Reopened, the file is copied again in its edited state; the older copy goes to the trash.
  const Bytes edited = test::ReadFile(path_);
  bgl = Open();
  ASSERT_TRUE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(3), user_));
  EXPECT_EQ(test::ReadFile(Backup()), edited);
#ifndef _WIN32  // the freedesktop.org trash of the test's own data folder
  EXPECT_EQ(test::ReadFile(home_ / "data/Trash/files/AP.bgl"), original_);
#endif
}

TEST_F(RewriteTest, WithoutABackupTheUserDecidesEachTimeUntilTheyAgree) {
  test::WriteFile(home_ / "Bureau", {});  // the desktop is a file: no folder there
  auto bgl = Open();
  user_.answers = {UserDialog::kIdNo, UserDialog::kIdYes};
  EXPECT_FALSE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(1), user_));
  EXPECT_EQ(test::ReadFile(path_), original_);
  ASSERT_EQ(user_.questions.size(), 1u);
  EXPECT_EQ(user_.questions[0].caption, "Attention");
  EXPECT_EQ(user_.questions[0].flags, UserDialog::kYesNo);
  EXPECT_EQ(user_.questions[0].text,
            "Je n'ai pas pu créer une copie de sécurité de ce fichier dans un dossier \"QORBgl "
            "Backup\" sur votre bureau !\r\n\r\nVoulez-vous continuer ?");

  EXPECT_TRUE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(1), user_));      // asked again
  EXPECT_TRUE(bgl->ReplaceValue(elevation_ + 4, 'D', Variant::Integer(2), user_));  // not again
  EXPECT_EQ(user_.questions.size(), 2u);
  EXPECT_TRUE(user_.messages.empty());
}

// The trash refuses through its folder on Linux; Windows's recycle bin has no folder of ours.
#ifndef _WIN32
TEST_F(RewriteTest, AnOlderCopyThatCannotGoToTheTrashIsKeptAndTheBackupCountsAsFailed) {
  fs::create_directories(desktop_ + "QORBgl Backup");
  test::WriteFile(Backup(), {'o', 'l', 'd'});
  test::SetEnv("XDG_DATA_HOME", (home_ / "AP.bgl"));  // the trash cannot be made
  auto bgl = Open();
  EXPECT_FALSE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(1), user_));
  EXPECT_EQ(user_.questions.size(), 1u);
  EXPECT_EQ(test::ReadFile(Backup()), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(test::ReadFile(path_), original_);
}

#endif

TEST_F(RewriteTest, AnUnknownCodeIsRefusedBeforeAnyCopy) {
  auto bgl = Open();
  EXPECT_FALSE(bgl->ReplaceValue(elevation_, 'F', Variant::Real(1.0), user_));
  EXPECT_EQ(user_.messages,
            (std::vector<std::string>{"Je ne sais pas encore remplacer le type \"F\"."}));
  EXPECT_FALSE(fs::exists(Backup()));
  EXPECT_EQ(test::ReadFile(path_), original_);
}

// Windows itself refuses to replace or remove a file the program holds open; Linux lets another
// program do it, and the rewrite must notice.
#ifndef _WIN32
TEST_F(RewriteTest, AFileChangedBehindTheProgramsBackIsNotWritten) {
  struct Row {
    const char* name;
    void (*change)(const std::string& path, const Bytes& original);
  };
  const Row rows[] = {
      {"rewritten",
       [](const std::string& p, const Bytes& o) {
         Bytes other = o;
         other.back() ^= 0xFF;
         test::WriteFile(p, other);
       }},
      {"grown", [](const std::string& p, const Bytes&) { std::ofstream(p, std::ios::app) << "x"; }},
      {"rewritten within the same second, its size kept",
       [](const std::string& p, const Bytes& o) {
         // Only the fraction of a second tells this state from the one the program saw.
         const auto seen = fs::last_write_time(p);
         Bytes other = o;
         other.back() ^= 0xFF;
         test::WriteFile(p, other);
         const auto second = std::chrono::floor<std::chrono::seconds>(seen);
         const auto half = std::chrono::milliseconds(500);
         fs::last_write_time(p, seen - second == half ? second + 2 * half / 5 : second + half);
       }},
      {"replaced",
       [](const std::string& p, const Bytes& o) {
         test::WriteFile(p + ".new", o);
         fs::rename(p + ".new", p);
       }},
      {"removed", [](const std::string& p, const Bytes&) { fs::remove(p); }},
  };
  for (const Row& row : rows) {
    test::WriteFile(path_, original_);
    // The clock of file times ticks in milliseconds: an older time keeps a change seen.
    fs::last_write_time(path_, fs::file_time_type::clock::now() - std::chrono::hours(1));
    auto bgl = Open();
    row.change(path_, original_);
    const Bytes theirs = fs::exists(path_) ? test::ReadFile(path_) : Bytes{};
    user_.messages.clear();
    EXPECT_FALSE(bgl->ReplaceValue(elevation_, 'D', Variant::Integer(1), user_)) << row.name;
    ASSERT_EQ(user_.messages.size(), 1u) << row.name;
    EXPECT_NE(user_.messages[0].find("Rouvrez-le"), std::string::npos) << row.name;
    if (fs::exists(path_)) {
      EXPECT_EQ(test::ReadFile(path_), theirs) << row.name;
    }
    EXPECT_FALSE(fs::exists(Backup())) << row.name;
  }
}

#endif

TEST_F(RewriteTest, AnOffsetOutsideTheFileIsRefusedBeforeAnyCopy) {
  auto bgl = Open();
  const auto size = static_cast<std::uint32_t>(original_.size());
  for (const std::uint32_t offset : {size - 3, size, 0xFFFFFFFFu}) {
    EXPECT_FALSE(bgl->ReplaceValue(offset, 'D', Variant::Integer(1), user_)) << offset;
  }
  EXPECT_TRUE(bgl->ReplaceValue(size - 1, 'B', Variant::Integer(1), user_));  // the last byte
  EXPECT_EQ(user_.messages.size(), 4u);
  EXPECT_EQ(test::ReadFile(path_), Patched(size - 1, {0x01}));
}

}  // namespace
}  // namespace qor
