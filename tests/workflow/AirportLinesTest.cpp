// The tree's lines sort as the plain tree's stable sort sorts them, whichever way they are
// sorted inside (keys for the airports, insertion or merging for an airport's lines).

#include "workflow/AirportLines.h"

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "bgl/PlainTree.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

// The lines of the file, kept and visited, against the plain tree's lines of it.
void ExpectThePlainTreesOrder(const test::TempFolder& dir, const std::string& name,
                              std::size_t airports) {
  const TBGL bgl(dir / name, dir.Path() + "/");
  PlainTree expected;
  bgl.FillTree(expected);
  AirportLines lines;
  lines.Fill(bgl);
  const auto plain = expected.Lines();
  ASSERT_EQ(lines.Size(), plain.size());
  std::size_t airport = 0;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    ASSERT_EQ(lines.Text(i), plain[i].item->text) << i;
    ASSERT_EQ(lines.Offset(i), plain[i].item->data) << i;
    ASSERT_EQ(lines.IsAirport(i), plain[i].depth == 0) << i;
    if (lines.IsAirport(i)) {
      airport = i;
      EXPECT_EQ(lines.ElementCount(i), plain[i].item->children.size());
    } else {
      EXPECT_EQ(lines.Parent(i), airport);
    }
  }
  EXPECT_EQ(lines.AirportCount(), airports);

  // The lines visited without being kept are the same.
  std::size_t visited = 0;
  AirportLines::ForEach(bgl, [&](const TElevation& entry, bool isAirport) {
    ASSERT_LT(visited, lines.Size());
    EXPECT_EQ(&entry, &lines.Entry(visited)) << visited;
    EXPECT_EQ(isAirport, lines.IsAirport(visited)) << visited;
    ++visited;
  });
  EXPECT_EQ(visited, lines.Size());
}

struct Seeded {
  std::uint32_t seed = 7;
  std::uint32_t operator()(std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  }
};

void AddElements(test::Airport& airport, int lines, Seeded& next) {
  for (int i = 0; i < lines; ++i) {
    const auto number = static_cast<std::uint8_t>(1 + next(12));
    const auto height = 1000 * static_cast<std::int64_t>(next(3));
    if (next(2) == 0) {
      airport.Runway(number, static_cast<std::uint8_t>(next(3)), height);
    } else {
      airport.Start(number, static_cast<std::uint8_t>(next(3)), height);
    }
  }
}

TEST(AirportLinesTest, LinesAndOffsetsComeInThePlainTreesOrder) {
  test::TempFolder dir;
  test::BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  Seeded next;
  // Names equal but for case and accents, and airports of 0 to 60 lines with many equal ones.
  const char* names[] = {"Lignes", "lignes", "Lignés", "Aérodrome", "aerodrome", "Zulu", ""};
  for (const int lines : {0, 3, 12, 31, 32, 33, 60}) {
    AddElements(sub.AddAirport().Name(names[next(7)]).Elevation(1000 * next(3)), lines, next);
  }
  b.WriteTo(dir / "many.bgl");
  ExpectThePlainTreesOrder(dir, "many.bgl", 7);
}

// Enough airports to be shared among workers, named so that the cheap orders cannot tell many
// of them apart: long beginnings in common (past the key prefixes), the same names at other
// elevations, and a soft hyphen, which weighs nothing, so that one name's letters end where
// another's blanks go on.
TEST(AirportLinesTest, ManyAirportsAlikeStillComeInThePlainTreesOrder) {
  test::TempFolder dir;
  test::BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  Seeded next;
  const char* names[] = {"Aérodrome de Saint-Exupéry",
                         "Aerodrome de Saint-Exupery",
                         "Aérodrome de Saint-Exupéry\xC2\xAD",
                         "aérodrome de saint-exupéry",
                         "Zulu",
                         "Zulu\xC2\xAD",
                         "Aérodrome de Saint-Exupéry Nord"};
  constexpr std::size_t kAirports = 12000;
  for (std::size_t i = 0; i < kAirports; ++i) {
    auto& airport = sub.AddAirport().Name(names[next(7)]).Elevation(1000 * next(2000) - 1000000);
    AddElements(airport, static_cast<int>(next(5)), next);
  }
  b.WriteTo(dir / "alike.bgl");
  ExpectThePlainTreesOrder(dir, "alike.bgl", kAirports);
}

}  // namespace
}  // namespace qor
