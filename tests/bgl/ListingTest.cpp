#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "bgl/Listing.h"
#include "bgl/PlainTree.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"
#include "util/NumberFormat.h"

namespace qor {
namespace {

using test::BglBuilder;

const platform::NumberSymbols kFrench{",", " "};

class ListingTest : public ::testing::Test {
 protected:
  void SetUp() override { SetNumberSymbols(kFrench); }
  void TearDown() override { SetNumberSymbols(platform::UserNumberSymbols()); }

  const TBGL& Open() {
    builder_.WriteTo(dir_ / "f.bgl");
    bgl_ = std::make_unique<TBGL>(dir_ / "f.bgl", dir_.Path() + "/");
    return *bgl_;
  }
  // The tree as the command line prints it: element lines indented by three blanks.
  std::vector<std::string> TreeText() {
    PlainTree tree;
    Open().FillTree(tree);
    std::vector<std::string> lines;
    for (const auto& line : tree.Lines()) {
      lines.push_back((line.depth ? "   " : "") + line.item->text);
    }
    return lines;
  }

  test::TempFolder dir_;
  BglBuilder builder_;
  std::unique_ptr<TBGL> bgl_;
};

TEST(TreeLine, LabelColumnThenElevationInMetres) {
  auto line = [](std::string caption, std::int64_t mm, const platform::NumberSymbols& s = kFrench) {
    return TreeLine(TElevation{std::move(caption), static_cast<std::uint32_t>(mm), 0}, s);
  };
  EXPECT_EQ(line("Nord", 482000), "Nord" + std::string(21, ' ') + "  482,000");
  EXPECT_EQ(line("Nord", 482000).size(), 34u);
  EXPECT_EQ(line("Nord", 1234567), "Nord" + std::string(21, ' ') + "1 234,567");
  EXPECT_EQ(line("", 0), std::string(25, ' ') + "    0,000");
  EXPECT_EQ(line("Amsterdam Schiphol", -3350),
            "Amsterdam Schiphol       "
            "   -3,350");
  EXPECT_EQ(line("X", 0xFFFFFFFF), "X" + std::string(24, ' ') + "   -0,001");
  EXPECT_EQ(line("Aérodrome de Chavenay-Villepreux", 146000), "Aérodrome de Chavenay-Vil  146,000");
  EXPECT_EQ(line("Courchevel", 2008000, {".", "\u202f"}),
            "Courchevel               2\u202f008.000");
}

// The tree's own writer must give TreeLine's line for every caption, value and kind of symbol,
// long symbols included (they take the general path).
TEST(TreeLineWriter, WritesWhatTreeLineWrites) {
  const std::vector<platform::NumberSymbols> symbols = {
      kFrench,   {".", ","},           {",", "\u202F"},
      {",", ""}, {"\u066B", "\u066C"}, {"<décimale>", "<groupe>"}};
  const std::string longName(300, 'x');
  const std::vector<std::string> captions = {
      "",
      "Nord",
      "Runway 36",
      "Start 27 L",
      "Aérodrome de Chavenay-Villepreux",
      std::string(24, 'a'),
      std::string(25, 'a'),
      std::string(26, 'a'),
      "€€€€€€€€€€€€€€€€€€€€€€€€€€€",
      "\x80\x80\x80 stray",
      "a" + std::string(120, '\x80') + "b",  // one character of 121 bytes, then one more
      longName};
  std::vector<std::uint32_t> values = {0,       1,         999,        1000,       999999,
                                       1000000, 482000,    0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                       -3350u,  -1000000u, -999u};
  for (std::uint64_t v = 1; v < 0x100000000; v = v * 5 + 1)
    values.push_back(static_cast<std::uint32_t>(v));
  for (const platform::NumberSymbols& sym : symbols) {
    TreeLineWriter writer(sym);
    for (const std::string& caption : captions) {
      for (const std::uint32_t mm : values) {
        const TElevation entry{caption, mm, 0};
        ASSERT_EQ(writer.Line(entry), TreeLine(entry, sym))
            << caption << " " << mm << " '" << sym.decimal << "' '" << sym.grouping << "'";
      }
    }
  }
}

TEST_F(ListingTest, TheTreeIsSortedAtEveryLevelAndElementsStayUnderTheirAirport) {
  auto& west = builder_.AddSection(3).AddSubSection();
  west.AddAirport()
      .Name("Bordeaux")
      .Elevation(49000)
      .Start(5, 0, 1)
      .Runway(9, 0, 2)
      .Runway(10, 0, 3)
      .Runway(23, 0, 4);
  west.AddAirport().Elevation(7000);  // no name
  builder_.AddSection(19).AddSubSection().Data(test::Bytes(8, 0));
  builder_.AddSection(3)
      .AddSubSection()
      .AddAirport()
      .Name("aérodrome")
      .Elevation(1000)
      .Runway(36, 0, 5);

  EXPECT_EQ(TreeText(), (std::vector<std::string>{
                            std::string(25, ' ') + "    7,000",
                            "aérodrome                    1,000",
                            "   Runway 36                    0,005",
                            "Bordeaux                    49,000",
                            "   Runway 10                    0,003",
                            "   Runway 23                    0,004",
                            "   Runway 9                     0,002",
                            "   Start 5                      0,001",
                        }));
}

TEST_F(ListingTest, EachNodeCarriesTheOffsetOfItsElevationField) {
  auto& ap =
      builder_.AddSection(3).AddSubSection().AddAirport().Name("A").Runway(1, 0, 1).Start(1, 0, 2);
  PlainTree tree;
  Open().FillTree(tree);
  const auto lines = tree.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].item->data, ap.elevationOffset);
  EXPECT_EQ(lines[1].item->data, ap.elements[0].elevationOffset);
  EXPECT_EQ(lines[2].item->data, ap.elements[1].elevationOffset);
  tree.Sort();
  Open().FillTree(tree);  // refilling starts from an empty tree
  EXPECT_EQ(tree.Lines().size(), 3u);
}

TEST_F(ListingTest, NoAirportSectionMeansNoAirports) {
  builder_.AddSection(19).AddSubSection().Data(test::Bytes(8, 0));
  builder_.AddSection(39).AddSubSection().Data({1, 0});
  EXPECT_EQ(Open().AirportCount(), 0);
  EXPECT_TRUE(TreeText().empty());
}

TEST_F(ListingTest, FindAirportFoldsOnlyTheLettersAToZ) {
  auto& sub = builder_.AddSection(3).AddSubSection();
  sub.AddAirport().Name("Aérodrome Nord");
  sub.AddAirport();  // without a name
  const TBGL& bgl = Open();
  EXPECT_TRUE(bgl.FindAirport("aérodrome nord"));
  EXPECT_TRUE(bgl.FindAirport("AéRODROME NORD"));
  EXPECT_FALSE(bgl.FindAirport("AÉRODROME NORD"));
  EXPECT_FALSE(bgl.FindAirport("Aérodrome Nord "));
  EXPECT_FALSE(bgl.FindAirport("Aérodrome"));
  EXPECT_TRUE(bgl.FindAirport(""));
  EXPECT_EQ(bgl.AirportCount(), 2);
}

// The one rule by which a typed text names an airport, for the folder search and the library
// alike: an ident only when the text could be one, a name with only a to z folded.
TEST(NamesAirportTest, AnIdentOrANameNamesTheAirport) {
  const struct {
    const char* text;
    const char* name;
    const char* icao;
    bool names;
  } rows[] = {
      {"lflj", "Courchevel", "LFLJ", true},
      {"LfLj", "Courchevel", "LFLJ", true},
      {"COURCHEVEL", "Courchevel", "LFLJ", true},
      {"LFL", "Courchevel", "LFLJ", false},
      {"LFLJ ", "Courchevel", "LFLJ", false},
      {"", "Courchevel", "", false},
      {"c3l", "Sud", "C3L", true},
      {"NORD", "Nord", "", true},
      {"nord", "Nord", "NORD", true},
      {"éte", "Été", "", false},
      {"Sud", "Nord", "SUD", true},
      {"Sud-Est", "Nord", "SUD", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(NamesAirport(row.text, row.name, row.icao), row.names)
        << row.text << " / " << row.name << " / " << row.icao;
  }
}

}  // namespace
}  // namespace qor
