#include "platform/Collation.h"

#include <gtest/gtest.h>

namespace qor::platform {
namespace {

TEST(CompareText, LettersFirstThenAccentsAndCaseDigitsAsCharacters) {
  const std::pair<const char*, const char*> ordered[] = {
      {"Runway 10", "Runway 9"},
      {"Runway 36", "Start 1"},
      {"aérodrome", "Bordeaux"},
      {"Évreux", "Fontainebleau"},
      {"                         ", "A"},  // an unnamed airport's blank label comes first
      {"cote", "côte"},
      {"abc", "ABC"},
      {"Nord", "Nord Est"},
  };
  for (const auto& [a, b] : ordered) {
    EXPECT_LT(CompareText(a, b), 0) << a << " < " << b;
    EXPECT_GT(CompareText(b, a), 0) << b << " > " << a;
  }
  EXPECT_EQ(CompareText("Même", "Même"), 0);
}

}  // namespace
}  // namespace qor::platform
