#include "platform/Collation.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace qor::platform {
namespace {

int Sign(int compared) {
  return compared < 0 ? -1 : compared > 0 ? 1 : 0;
}

// Two texts in their order, in UTF-8 and in UTF-16 (the compiler writes both forms).
struct Ordered {
  std::string_view first;
  std::string_view second;
  std::u16string_view first16;
  std::u16string_view second16;
  const char* why;
};
#define ORDERED(a, b, why) \
  Ordered {                \
    a, b, u##a, u##b, why  \
  }

const Ordered kOrdered[] = {
    ORDERED("Runway 10", "Runway 9", "digits compared as characters"),
    ORDERED("Runway 36", "Start 1", "the letters first"),
    ORDERED("aérodrome", "Bordeaux", "an accented letter before later letters"),
    ORDERED("Évreux", "Fontainebleau", "an accented capital before later letters"),
    ORDERED("côte", "coter", "accents count after the letters"),
    ORDERED("cote", "côte", "then the accents"),
    ORDERED("ABC", "abd", "case counts after the letters"),
    ORDERED("abc", "ABC", "then the case, small letters first"),
    ORDERED("Nord", "Nord Est", "a text before its continuations"),
    ORDERED("                         ", "A", "an unnamed airport's blank label first"),
    ORDERED("", " ", "the empty text before all"),
};

TEST(CompareText, OrdersPairsAsTheTreeShowsThemInBothForms) {
  for (const Ordered& pair : kOrdered) {
    EXPECT_LT(CompareText(pair.first, pair.second), 0) << pair.why;
    EXPECT_GT(CompareText(pair.second, pair.first), 0) << pair.why;
    EXPECT_LT(CompareText(pair.first16, pair.second16), 0) << pair.why << " (UTF-16)";
    EXPECT_GT(CompareText(pair.second16, pair.first16), 0) << pair.why << " (UTF-16)";
  }
  EXPECT_EQ(CompareText("Même", "Même"), 0);
  EXPECT_EQ(CompareText(u"Même", u"Même"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
}

// Keys made one after the other into one buffer, as a sort makes them, then compared with their
// bytes: they must order every pair of texts as CompareText does.
template <class Text>
void ExpectKeysOrderAsTheTexts(const std::vector<Text>& texts,
                               const std::vector<std::string>& utf8) {
  std::string keys = "before";
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (const Text& text : texts) {
    const std::size_t start = keys.size();
    const std::size_t length = AppendSortKey(text, keys);
    ASSERT_EQ(keys.size(), start + length);
    spans.emplace_back(start, length);
  }
  ASSERT_EQ(keys.substr(0, 6), "before");
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = 0; j < texts.size(); ++j) {
      const auto [x, m] = spans[i];
      const auto [y, n] = spans[j];
      int byBytes = std::memcmp(keys.data() + x, keys.data() + y, std::min(m, n));
      if (byBytes == 0) byBytes = m < n ? -1 : m > n ? 1 : 0;
      EXPECT_EQ(Sign(byBytes), Sign(CompareText(texts[i], texts[j])))
          << "\"" << utf8[i] << "\" and \"" << utf8[j] << "\"";
    }
  }
}

TEST(AppendSortKey, KeysOrderTextsAsCompareTextInBothForms) {
  std::vector<std::string> utf8;
  std::vector<std::u16string> utf16;
  for (const Ordered& pair : kOrdered) {
    utf8.emplace_back(pair.first);
    utf8.emplace_back(pair.second);
    utf16.emplace_back(pair.first16);
    utf16.emplace_back(pair.second16);
  }
  utf8.insert(utf8.end(), {"Même", "même", "MÊME", "Zürich ✈ 🛫"});
  utf16.insert(utf16.end(), {u"Même", u"même", u"MÊME", u"Zürich ✈ 🛫"});
  ExpectKeysOrderAsTheTexts(utf8, utf8);
  ExpectKeysOrderAsTheTexts(utf16, utf8);

  // Both forms of one text make the same key.
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    std::string narrow, wide;
    AppendSortKey(utf8[i], narrow);
    AppendSortKey(utf16[i], wide);
    EXPECT_EQ(narrow, wide) << utf8[i];
  }
}

TEST(AppendSortKey, BytesThatAreNotUtf8CountAsTheReplacementCharacter) {
  std::string stray, replaced;
  AppendSortKey(std::string_view("caf\xe9 Orly"), stray);
  AppendSortKey(std::string_view("caf\uFFFD Orly"), replaced);
  EXPECT_EQ(stray, replaced);
}

// Texts with long beginnings in common, accents, case and signs, for the cheaper orders below.
const std::vector<std::string> kTexts = {
    "Saint-Exupéry 12",
    "Saint-Exupéry 121",
    "Saint-Exupery 12",
    "saint-exupéry 12",
    "Saint Exupéry 12",
    "Saint-Etienne",
    "Aérodrome",
    "Aerodrome",
    "Aérodrome de Lyon",
    "O'Hare",
    "OHare",
    "Zürich ✈",
    "Runway 10",
    "Runway 9",
    "",
    "  ",
    "A",
    "a",
    "Ab",
    "caf\xe9 Orly",
};

TEST(SortKeyPrefix, DifferentPrefixesOrderTextsAsCompareText) {
  for (const std::string& a : kTexts) {
    for (const std::string& b : kTexts) {
      const KeyPrefix x = SortKeyPrefix(a);
      const KeyPrefix y = SortKeyPrefix(b);
      if (x != y) {
        EXPECT_EQ(x < y ? -1 : 1, Sign(CompareText(a, b))) << a << " and " << b;
      }
    }
  }
  // Texts that differ in their first letters are told apart by their prefixes.
  EXPECT_LT(SortKeyPrefix("Bordeaux"), SortKeyPrefix("Calais"));
  EXPECT_EQ(SortKeyPrefix("Même"), SortKeyPrefix("Même"));
}

// A label of the tree: the text cut or filled with blanks to 25 characters.
std::string Label(std::string_view text) {
  std::string label;
  std::size_t chars = 0;
  for (const char c : text) {
    const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts && chars == 25) break;
    chars += starts ? 1 : 0;
    label += c;
  }
  return label + std::string(25 - chars, ' ');
}

TEST(CompareLetters, DecidesOnlyWhatEveryNumberAfterTheLabelsKeeps) {
  std::vector<std::string> labels = {"Runway 17 R", "Runway 17 L", "Runway 17", "Runway 1",
                                     "Runway 10", "runway 17 r", "Start 2 L", "Côte", "Cote",
                                     "O'Hare", "OHare", "O-Hare", "",
                                     "Aérodrome de Saint-Exupéry Nord",
                                     // a soft hyphen (a byte of the files' code page) weighs
                                     // nothing: the label's letters end before its blanks'
                                     "Runway 17\u00AD"};
  const std::vector<std::string> numbers = {
      "    0.000", "  -12.345", "1 234 567.000", "  999.999", "-2\u202F147\u202F483,648",
      "       1.5"};
  int decided = 0;
  for (const std::string& a : labels) {
    for (const std::string& b : labels) {
      std::string keyA, keyB;
      AppendSortKey(Label(a), keyA);
      AppendSortKey(Label(b), keyB);
      const int letters = CompareLetters(KeyLetters(keyA), KeyLetters(keyB));
      if (letters == 0) continue;
      ++decided;
      for (const std::string& x : numbers) {
        for (const std::string& y : numbers) {
          EXPECT_EQ(Sign(CompareText(Label(a) + x, Label(b) + y)), letters)
              << "\"" << a << x << "\" and \"" << b << y << "\"";
        }
      }
    }
  }
  // Labels whose letters differ are decided without their numbers.
  std::string runway, start;
  AppendSortKey(Label("Runway 17 R"), runway);
  AppendSortKey(Label("Start 2 L"), start);
  EXPECT_LT(CompareLetters(KeyLetters(runway), KeyLetters(start)), 0);
  EXPECT_GT(decided, 100);
  // Labels differing in case or accents only are not.
  std::string lower;
  AppendSortKey(Label("runway 17 r"), lower);
  EXPECT_EQ(CompareLetters(KeyLetters(runway), KeyLetters(lower)), 0);
}

}  // namespace
}  // namespace qor::platform
