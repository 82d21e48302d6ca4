#include "text/Trim.h"

#include <gtest/gtest.h>

#include <string_view>

namespace qor {
namespace {

TEST(Trim, CutsBlanksAndControlsAtEitherEnd) {
  struct Case {
    std::string_view text;
    std::string_view trimmed;
    std::string_view start;  // TrimStart
    std::string_view end;    // TrimEnd
  };
  const Case cases[] = {
      {"  ab c  ", "ab c", "ab c  ", "  ab c"},
      {"\t\r\n\x01"
       "ab\x1F ",
       "ab", "ab\x1F ",
       "\t\r\n\x01"
       "ab"},
      {std::string_view("\0a\0", 3), "a", std::string_view("a\0", 2), std::string_view("\0a", 2)},
      // Text above ASCII stays, the no-break space and a lone byte of another
      // code page with it.
      {"\u00A0x\u00A0", "\u00A0x\u00A0", "\u00A0x\u00A0", "\u00A0x\u00A0"},
      {" \xE9t\xE9 ", "\xE9t\xE9", "\xE9t\xE9 ", " \xE9t\xE9"},
      {"!x~", "!x~", "!x~", "!x~"},
      {" \t ", "", "", ""},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.text), c.trimmed) << c.text;
    EXPECT_EQ(TrimStart(c.text), c.start) << c.text;
    EXPECT_EQ(TrimEnd(c.text), c.end) << c.text;
  }
}

}  // namespace
}  // namespace qor
