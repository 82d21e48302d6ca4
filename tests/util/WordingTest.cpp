// The pieces a sentence is built from, in each language: a count and its word, a name as the
// complement of a noun, the long date.

#include <gtest/gtest.h>

#include "lang/Language.h"
#include "lang/Tr.h"
#include "util/DateFormat.h"
#include "util/NumberFormat.h"
#include "util/Wording.h"

namespace qor {
namespace {

using lang::Language;

class WordingTest : public ::testing::Test {
 protected:
  void TearDown() override { lang::SetCurrent(Language::kFrench); }
};

TEST_F(WordingTest, CountsTakeTheSingularForOneInEveryLanguage) {
  const struct {
    Language language;
    std::size_t n;
    const char* expected;
  } rows[] = {
      {Language::kFrench, 0, "0 fichiers"},  // as the program has always written it
      {Language::kFrench, 1, "1 fichier"},  {Language::kFrench, 2, "2 fichiers"},
      {Language::kEnglish, 0, "0 files"},   {Language::kEnglish, 1, "1 file"},
      {Language::kEnglish, 21, "21 files"}, {Language::kGerman, 0, "0 Dateien"},
      {Language::kGerman, 1, "1 Datei"},    {Language::kGerman, 1000, "1000 Dateien"},
  };
  for (const auto& row : rows) {
    lang::SetCurrent(row.language);
    EXPECT_EQ(Counted(row.n, Tr("fichier"), Tr("fichiers")), row.expected)
        << lang::Code(row.language) << " " << row.n;
  }
}

TEST_F(WordingTest, OfElidesInFrenchOnly) {
  const struct {
    Language language;
    const char* name;
    const char* expected;
  } rows[] = {
      {Language::kFrench, "Courchevel", "de Courchevel"},
      {Language::kFrench, "Altiport", "d'Altiport"},
      {Language::kFrench, "Évian", "d'Évian"},
      {Language::kFrench, "Hyères", "d'Hyères"},
      {Language::kFrench, "EGLL", "d'EGLL"},
      {Language::kFrench, "", "de "},
      {Language::kEnglish, "Altiport", "of Altiport"},
      {Language::kEnglish, "Courchevel", "of Courchevel"},
      {Language::kGerman, "Évian", "von Évian"},
      {Language::kGerman, "Courchevel", "von Courchevel"},
  };
  for (const auto& row : rows) {
    lang::SetCurrent(row.language);
    EXPECT_EQ(Of(row.name), row.expected) << lang::Code(row.language) << " " << row.name;
  }
}

TEST_F(WordingTest, LongDatesNameTheDayAndMonthInTheLanguage) {
  // 38047 is Monday 1 March 2004, 38048 the Tuesday after; a quarter of a day is 6:00.
  const struct {
    Language language;
    double when;
    const char* expected;
  } rows[] = {
      {Language::kFrench, 38047.25, "lundi 1er mars 2004, 6:00"},
      {Language::kFrench, 38048.25, "mardi 2 mars 2004, 6:00"},
      {Language::kEnglish, 38047.25, "Monday 1 March 2004, 6:00"},
      {Language::kEnglish, 38048.25, "Tuesday 2 March 2004, 6:00"},
      {Language::kGerman, 38047.25, "Montag, 1. März 2004, 6:00"},
      {Language::kGerman, 38048.25, "Dienstag, 2. März 2004, 6:00"},
  };
  for (const auto& row : rows) {
    lang::SetCurrent(row.language);
    EXPECT_EQ(DateTimeStr(true, false, false, row.when), row.expected)
        << lang::Code(row.language) << " " << row.when;
  }
  lang::SetCurrent(Language::kGerman);
  EXPECT_EQ(MonthName(-3, false), "Januar bis März");
  EXPECT_EQ(MonthName(12, false), "Dezember");
  EXPECT_EQ(DayName(7, false), "Samstag");
  EXPECT_EQ(MonthName(-3, true), "janv-mars");  // the short names stay French
}

}  // namespace
}  // namespace qor
