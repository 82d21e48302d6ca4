#include "util/FitText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace qor {
namespace {

TEST(FitStr, PadsAndCutsByCharacters) {
  struct Case {
    std::string_view text;
    int n;
    char32_t pad;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", 5, U'.', "abc.."},
      {"abc", -5, U'.', "..abc"},
      {"abc", 2, U'.', "ab"},
      {"abc", -2, U'.', "bc"},
      {"abc", 0, U'.', ""},
      {"", 3, U' ', "   "},
      {"été", 5, U'.', "été.."},
      {"été", 2, U'.', "ét"},
      {"été", -2, U'.', "té"},
      {"aé", -4, U'é', "ééaé"},
      {"\u202F1", 1, U' ', "\u202F"},
      {"aé", 4, U'é', "aééé"},
      // A stray continuation byte first counts as a character; the ones after it belong to it.
      {"\x80\x80"
       "ab",
       2, U'.',
       "\x80\x80"
       "a"},
      {"\x80\x80"
       "ab",
       4, U'.',
       "\x80\x80"
       "ab."},
      {"été d'été", 3, U'.', "été"}};

  for (const Case& c : cases)
    EXPECT_EQ(FitStr(c.text, c.n, c.pad), c.expected) << c.text << " " << c.n;
}

TEST(LeftTextAndRepeatStr, CountCharacters) {
  EXPECT_EQ(LeftText("été", 2), "ét");
  EXPECT_EQ(LeftText("été", 10), "été");
  EXPECT_EQ(LeftText("été", 0), "");
  EXPECT_EQ(LeftText("été", -1), "");
  EXPECT_EQ(RepeatStr("ab", 3), "ababab");
  EXPECT_EQ(RepeatStr("é", 2), "éé");
  EXPECT_EQ(RepeatStr("ab", -2), "");
}

// Only blanks and control characters go: the bytes of a character beyond ASCII are no blanks,
// not even those of a no-break space.

}  // namespace
}  // namespace qor
