#include "util/Cp1252.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(Cp1252, FrenchLettersAndTheSpecialRangeBecomeUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("A\xe9rodrome \xc9vry \xe0 l'\xeele"), "Aérodrome Évry à l'île");
  EXPECT_EQ(Cp1252ToUtf8("\x80 \x9c\x9f"), "€ œŸ");
  EXPECT_EQ(Cp1252ToUtf8(std::string_view("\x00", 1)), std::string(1, '\0'));
}

// Every byte, alone and among others, becomes its code point's UTF-8, within the room promised.
TEST(Cp1252, EveryByteBecomesTheUtf8OfItsCodePoint) {
  std::string all;
  std::u32string codePoints;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
    codePoints += Cp1252CodePoint(static_cast<unsigned char>(b));
  }
  std::string expected;
  for (const char32_t c : codePoints) {
    if (c < 0x80) {
      expected += static_cast<char>(c);
    } else if (c < 0x800) {
      expected += static_cast<char>(0xC0 | (c >> 6));
      expected += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      expected += static_cast<char>(0xE0 | (c >> 12));
      expected += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      expected += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  EXPECT_EQ(Cp1252ToUtf8(all), expected);
  std::string appended = "x";
  for (const char b : all) AppendCp1252AsUtf8(appended, static_cast<unsigned char>(b));
  EXPECT_EQ(appended, "x" + expected);
  const std::string euros(100, '\x80');  // three bytes each, the most any byte takes
  std::string room(kUtf8PerCp1252 * euros.size(), '?');
  EXPECT_EQ(WriteCp1252AsUtf8(euros, room.data()), room.data() + room.size());
  EXPECT_EQ(room.substr(0, 3), "€");
}

TEST(Cp1252, UndefinedBytesKeepTheirValueAsControlCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x81\x8d\x8f\x90\x9d"), "\u0081\u008d\u008f\u0090\u009d");
}

}  // namespace
}  // namespace qor
