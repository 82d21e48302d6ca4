// Metres as typed into the elevation box or given to qorbgl-cli set.

#include "workflow/ElevationInput.h"

#include <gtest/gtest.h>

#include "util/NumberFormat.h"

namespace qor {
namespace {

TEST(ElevationInputTest, TypedMetresBecomeRoundedThousandthsOrAreRefused) {
  SetNumberSymbols({",", " "});
  struct Row {
    const char* typed;
    std::optional<std::int32_t> thousandths;
    const char* problem;  // part of the message when refused
  };
  const Row rows[] = {
      {"433,5", 433500, ""},
      {"433.5", 433500, ""},
      {"12.3456", 12346, ""},
      {" -1,25 ", -1250, ""},
      {"0,0005", 0, ""},  // halves go to the even thousandth
      {"0,0015", 2, ""},
      {"1 234,5", 1234500, ""},
      {"1'234.5", 1234500, ""},
      {"1\u202f234,5", 1234500, ""},  // as the French format groups them
      {"1\u00a0234,5", 1234500, ""},
      {"2147483,647", 2147483647, ""},
      {"-2147483,648", -2147483647 - 1, ""},
      {"abc", std::nullopt, "« abc » n'est pas un nombre de mètres"},
      {"", std::nullopt, "«  » n'est pas un nombre de mètres"},
      {"12.5.3", std::nullopt, "par exemple 433,5"},
      {"-3,5 m", std::nullopt, "par exemple 433,5"},
      {"1e999", std::nullopt, "par exemple 433,5"},
      {"50%", std::nullopt, "par exemple 433,5"},
      {"1:30", std::nullopt, "par exemple 433,5"},
      {"2147483,648", std::nullopt,
       "2 147 483,648 m ne tient pas dans le champ d'altitude d'un BGL, qui va de "
       "-2 147 483,648 à 2 147 483,647 m."},
      {"-3000000", std::nullopt, "-3 000 000,000 m ne tient pas"},
  };
  for (const Row& row : rows) {
    std::string problem;
    EXPECT_EQ(ReadMetres(row.typed, problem), row.thousandths) << row.typed;
    EXPECT_NE(problem.find(row.problem), std::string::npos) << row.typed << ": " << problem;
    EXPECT_EQ(problem.empty(), row.thousandths.has_value()) << row.typed;
  }
}

}  // namespace
}  // namespace qor
