// Metres as typed into the elevation box or given to qorbgl-cli set.

#include "workflow/ElevationInput.h"

#include <gtest/gtest.h>

#include <limits>

#include "util/NumberFormat.h"

namespace qor {
namespace {

struct Row {
  const char* typed;
  std::optional<std::int32_t> thousandths;
  const char* problem;  // part of the message when refused
};

void Check(const platform::NumberSymbols& symbols, const char* name,
           std::initializer_list<Row> rows) {
  SetNumberSymbols(symbols);
  for (const Row& row : rows) {
    std::string problem;
    EXPECT_EQ(ReadMetres(row.typed, problem), row.thousandths) << name << ": " << row.typed;
    EXPECT_NE(problem.find(row.problem), std::string::npos)
        << name << ": " << row.typed << ": " << problem;
    EXPECT_EQ(problem.empty(), row.thousandths.has_value()) << name << ": " << row.typed;
  }
}

const platform::NumberSymbols kC{".", ""};
const platform::NumberSymbols kFrench{",", "\u202f"};
const platform::NumberSymbols kEnglish{".", ","};
const platform::NumberSymbols kGerman{",", "."};
const platform::NumberSymbols kSwiss{".", "'"};

TEST(ElevationInputTest, TypedMetresBecomeRoundedThousandthsOrAreRefused) {
  Check({",", " "}, "blank groups",
        {
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
        });
}

TEST(ElevationInputTest, EveryLocaleReadsItsOwnFormatAndRefusesTextWithTwoMeanings) {
  Check(kC, "C",
        {
            {"433,5", 433500, ""},
            {"433.5", 433500, ""},
            {"2,007", 2007, ""},
            {"1 234.5", 1234500, ""},
            {"1'234,5", 1234500, ""},
            {"\u00a0+ 5.\t", 5000, ""},
            {".5", 500, ""},
            {"-0.0005", 0, ""},
            {"-0.0015", -2, ""},
            {"2.00150001", 2002, ""},  // beyond the half, whatever the digit before it
            {"0.00149999", 1, ""},
            {"1,234.5", std::nullopt, "« 1,234.5 » n'est pas un nombre de mètres"},
            {"1234 567", std::nullopt, "par exemple 433.5."},  // a first group of four
            {"1 234'567", std::nullopt, "par exemple 433.5."},
            {"12 34", std::nullopt, "par exemple 433.5."},
            {".", std::nullopt, "par exemple 433.5."},
            {"+-5", std::nullopt, "par exemple 433.5."},
            {"12/5", std::nullopt, "par exemple 433.5."},
            {"25.12.2004", std::nullopt, "par exemple 433.5."},
            {"99999999999999999999", std::nullopt, "m ne tient pas"},
        });
  Check(kFrench, "fr",
        {
            {"433.5", 433500, ""},
            {"433,5", 433500, ""},
            {"1\u202f234,5", 1234500, ""},
            {"1 234,5", 1234500, ""},
            {"1'234.5", 1234500, ""},
            {"2.007", 2007, ""},
            {"-2\u202f147\u202f483,648", -2147483647 - 1, ""},
            {"1.234,5", std::nullopt, "par exemple 433,5."},
            {"2147483,6475", std::nullopt,
             "« 2147483,6475 » : 2\u202f147\u202f483,648 m ne tient pas dans le champ d'altitude "
             "d'un BGL, qui va de -2\u202f147\u202f483,648 à 2\u202f147\u202f483,647 m."},
        });
  Check(kEnglish, "en",
        {
            {"2,007", std::nullopt,
             "« 2,007 » peut valoir 2,007.000 m ou 2.007 m, selon que la virgule sépare les "
             "milliers ou les décimales.\r\n\r\nTapez l'altitude en mètres, par exemple 2007.000 "
             "ou 2.007."},
            {"-2,007", std::nullopt, "-2,007.000 m ou -2.007 m"},
            {"0,500", std::nullopt, "500.000 m ou 0.500 m"},
            {"0,000", 0, ""},  // both readings are zero
            {"1,234.5", 1234500, ""},
            {"1,234,567", 1234567000, ""},
            {"12,345,678", std::nullopt, "« 12,345,678 » : 12,345,678.000 m ne tient pas"},
            {"2.5", 2500, ""},
            {"1 234.5", 1234500, ""},
            {"1'234.5", 1234500, ""},
            {"2,5", std::nullopt,
             "« 2,5 » n'est pas un nombre de mètres.\r\n\r\nTapez l'altitude en mètres, par "
             "exemple 433.5."},
            {"1,2345", std::nullopt, "par exemple 433.5."},
            {"1234,567", std::nullopt, "par exemple 433.5."},
            {"1,234,5", std::nullopt, "par exemple 433.5."},
            {"1 234,567.5", std::nullopt, "par exemple 433.5."},
            {"2,147,483.648", std::nullopt, "qui va de -2,147,483.648 à 2,147,483.647 m."},
        });
  Check(kGerman, "de",
        {
            {"2.007", std::nullopt,
             "« 2.007 » peut valoir 2.007,000 m ou 2,007 m, selon que le point sépare les "
             "milliers ou les décimales.\r\n\r\nTapez l'altitude en mètres, par exemple 2007,000 "
             "ou 2,007."},
            {"2,007", 2007, ""},
            {"1.234,5", 1234500, ""},
            {"1.234.567", 1234567000, ""},
            {"1'234,5", 1234500, ""},
            {"12.345.678", std::nullopt, "12.345.678,000 m ne tient pas"},
            {"2.5", std::nullopt, "par exemple 433,5."},
            {"25.12.2004", std::nullopt, "par exemple 433,5."},
        });
  Check(kSwiss, "de-CH",
        {
            {"1'234.5", 1234500, ""},
            {"2,007", 2007, ""},
            {"1 234,5", 1234500, ""},
            {"1,234.5", std::nullopt, "par exemple 433.5."},
            {"12'345'678", std::nullopt, "12'345'678.000 m ne tient pas"},
        });
}

TEST(ElevationInputTest, WhatTheProgramShowsReadsBackInEveryLocale) {
  const std::int32_t values[] = {std::numeric_limits<std::int32_t>::min(),
                                 -1234567,
                                 -2007,
                                 -1,
                                 0,
                                 1,
                                 500,
                                 2007,
                                 433500,
                                 999999,
                                 1000000,
                                 2007000,
                                 1234567890,
                                 std::numeric_limits<std::int32_t>::max()};
  for (const platform::NumberSymbols& symbols :
       {kC, kFrench, kEnglish, kGerman, kSwiss, platform::NumberSymbols{",", "\u00a0"}}) {
    SetNumberSymbols(symbols);
    for (const std::int32_t v : values) {
      for (const bool grouped : {true, false}) {
        const std::string shown = Metres(v, grouped);
        std::string problem;
        EXPECT_EQ(ReadMetres(shown, problem), v) << shown << ": " << problem;
      }
    }
  }
}

}  // namespace
}  // namespace qor
