#include "util/Cp1252.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(Cp1252, FrenchLettersAndTheSpecialRangeBecomeUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("A\xe9rodrome \xc9vry \xe0 l'\xeele"), "Aérodrome Évry à l'île");
  EXPECT_EQ(Cp1252ToUtf8("\x80 \x9c\x9f"), "€ œŸ");
  EXPECT_EQ(Cp1252ToUtf8(std::string_view("\x00", 1)), std::string(1, '\0'));
}

TEST(Cp1252, UndefinedBytesKeepTheirValueAsControlCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x81\x8d\x8f\x90\x9d"), "\u0081\u008d\u008f\u0090\u009d");
}

}  // namespace
}  // namespace qor
