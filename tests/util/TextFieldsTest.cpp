#include "util/TextFields.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qor {
namespace {

TEST(CutField, CutsAtTheFirstSeparator) {
  struct Case {
    std::string text, sep, field, rest;
  };
  const Case cases[] = {
      {"\"x\"\tyz", "\t", "x", "yz"},
      {"\"x\tyz", "\t", "\"x", "yz"},    // a lone opening quote stays
      {"abc", "\t", "abc", ""},          // no separator: all of it
      {"\tabc", "\t", "", "abc"},        // separator first: empty field
      {"abc\t", "\t", "abc", ""},        // nothing follows
      {"a\tb\tc", "\t", "a", "b\tc"},    // only the first
      {"\"a\tb\"", "\t", "\"a", "b\""},  // quotes do not protect a separator
      {"a\r\nb", "\r\n", "a", "b"},      // several characters
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(CutField(text, c.sep), c.field) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(CutFieldAny, CutsAtTheEarliestSeparator) {
  struct Case {
    std::vector<std::string> seps;
    std::string text, field, found, rest;
  };
  const std::vector<std::string> tabLine{"\t", "\r\n"};
  const Case cases[] = {
      {tabLine, "a\r\nb\tc", "a", "\r\n", "b\tc"},
      {tabLine, "abc", "abc", "", ""},
      {tabLine, "\tabc", "", "\t", "abc"},
      {{}, "a\tb", "a", "\t", "b"},           // no list: the tab
      {{";"}, "abc", "abc", ";", ""},         // one separator is found even when absent
      {{"ab", "a"}, "xabc", "x", "ab", "c"},  // a tie goes to the earlier in the list
      {{"a", "ab"}, "xabc", "x", "a", "bc"},
      {{"", ";"}, "a;b", "a", ";", "b"},  // an empty separator never wins
  };
  for (const Case& c : cases) {
    std::string text = c.text, found = "stale";
    EXPECT_EQ(CutFieldAny(text, c.seps, found), c.field) << c.text;
    EXPECT_EQ(found, c.found) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(Unquote, StripsOnlyEnclosingQuotes) {
  const std::pair<std::string, std::string> cases[] = {
      {"\"", "\""},     {"\"\"", ""},     {"\"ab\"", "ab"}, {"ab", "ab"},
      {"\"ab", "\"ab"}, {"ab\"", "ab\""}, {"\"\"\"", "\""}, {"", ""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Unquote(text), expected) << text;
}

}  // namespace
}  // namespace qor
