#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "bgl/DesignatorLabel.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

using test::BglBuilder;
using test::Bytes;

class RecordsTest : public ::testing::Test {
 protected:
  test::Airport& NewAirport() { return builder_.AddSection(3).AddSubSection().AddAirport(); }
  const TAirport1Rec& Open() {
    builder_.WriteTo(dir_ / "f.bgl");
    bgl_ = std::make_unique<TBGL>(dir_ / "f.bgl", dir_.Path() + "/");
    auto airports = bgl_->Airports();
    if (airports.empty()) throw std::runtime_error("no airport");
    return *airports[0];
  }
  std::vector<std::string> Captions(const TAirport1Rec& a) {
    std::vector<std::string> captions;
    for (const auto& e : a.Elevations) captions.emplace_back(e.Caption);
    return captions;
  }
  test::TempFolder dir_;
  BglBuilder builder_;
  std::unique_ptr<TBGL> bgl_;
};

TEST_F(RecordsTest, RunwaysStartsAndNameGiveEntriesInFileOrderWithTheirOffsets) {
  auto& ap = NewAirport().Elevation(432000);
  ap.Start(9, 2, 431000)
      .Com()
      .Runway(24, 1, 430500)
      .TaxiwayPoints()
      .Name("Nord")
      .Parking()
      .Runway(18, 0, 429000)
      .Other(0x0026, Bytes(30, 0xEE));
  const TAirport1Rec& a = Open();

  EXPECT_EQ(a.Name, "Nord");
  EXPECT_EQ(Captions(a),
            (std::vector<std::string>{"Nord", "Start 9 R", "Runway 24 L", "Runway 18"}));
  ASSERT_EQ(a.Elevations.size(), 1 + ap.elements.size());
  EXPECT_EQ(a.Elevations[0].Offset, ap.elevationOffset);
  EXPECT_EQ(a.Elevations[0].Altitude, 432000u);
  const std::uint32_t altitudes[] = {431000, 430500, 429000};
  for (std::size_t i = 0; i < ap.elements.size(); ++i) {
    EXPECT_EQ(a.Elevations[i + 1].Offset, ap.elements[i].elevationOffset);
    EXPECT_EQ(a.Elevations[i + 1].Altitude, altitudes[i]);
  }
  EXPECT_EQ(a.HeadBytes[0], 2);  // the runway count the compiler writes
}

TEST_F(RecordsTest, NamesEndAtTheirZeroOrTheirSizeAndTheLastOneCounts) {
  struct Row {
    std::string raw;
    std::optional<std::uint32_t> size;
    std::string name;
  };
  const Row rows[] = {
      {"", 6, ""},
      {std::string("AB\0X", 4), 10, "AB"},
      {"ABC", 9, "ABC"},  // no zero: the size ends it
      {"A\xe9rodrome", std::nullopt, "Aérodrome"},
  };
  for (const Row& row : rows) {
    builder_ = BglBuilder();
    NewAirport().Name("Premier").NameBytes(row.raw, row.size);
    EXPECT_EQ(Open().Name, row.name) << row.raw;
    EXPECT_EQ(Open().Elevations[0].Caption, row.name);
  }
  builder_ = BglBuilder();
  NewAirport().Runway(1, 0, 0);
  EXPECT_EQ(Open().Name, "");  // no name sub-record
}

TEST_F(RecordsTest, ShortRecordsAndSubRecordsEndTheWalk) {
  NewAirport().Name("Coupé").Size(52);  // the header only: nothing walked
  NewAirport().Runway(1, 0, 1).Other(0x99, {}).SizeOfLast(0).Runway(2, 0, 2);
  NewAirport().Runway(1, 0, 1).Other(0x99, {}).SizeOfLast(5).Runway(2, 0, 2);
  Open();
  auto airports = bgl_->Airports();
  ASSERT_EQ(airports.size(), 3u);
  EXPECT_EQ(airports[0]->Elevations.size(), 1u);
  EXPECT_EQ(airports[0]->Name, "");
  EXPECT_EQ(airports[1]->Elevations.size(), 2u);  // stops at the sub-record of size 0
  EXPECT_EQ(airports[2]->Elevations.size(), 2u);  // and at one too small for its header
}

TEST_F(RecordsTest, TheLaterLayoutHasALongerHeader) {
  auto& ap = NewAirport().Id(0x003C).Name("Plus tard").Runway(36, 0, 5000);
  const TAirport1Rec& a = Open();
  EXPECT_EQ(a.Name, "Plus tard");
  ASSERT_EQ(a.Elevations.size(), 2u);
  EXPECT_EQ(a.Elevations[1].Caption, "Runway 36");
  EXPECT_EQ(a.Elevations[1].Offset, ap.elements[0].elevationOffset);
}

TEST_F(RecordsTest, ElevationsAreSignedTwosComplement) {
  NewAirport().Elevation(-3350).Runway(18, 3, -1);
  const TAirport1Rec& a = Open();
  EXPECT_EQ(a.Elevations[0].Altitude, 4294963946u);  // the raw field
  EXPECT_EQ(a.Elevations[0].SignedAltitude(), -3350);
  EXPECT_EQ(a.Elevations[1].SignedAltitude(), -1);
}

TEST(DesignatorLabel, NumbersDirectionsAndDesignators) {
  const std::pair<std::uint16_t, const char*> rows[] = {
      {0x0118, "24 L"}, {0x0209, "9 R"}, {0x030C, "12 C"}, {0x0400, "0 water"},
      {0x0024, "36"},   {0x0012, "18"},  {0x0512, "18 A"}, {0x0612, "18 B"},
      {0x0712, "18"},   {0x0025, "N"},   {0x0126, "NE L"}, {0x002C, "NW"},
      {0x002D, "45"},   {0xFFFF, "255"}, {0x0001, "1"},    {0x0023, "35"},
  };
  for (const auto& [word, label] : rows) {
    EXPECT_EQ(DesignatorLabel(Variant::Word(word)), label) << std::hex << word;
  }
}

TEST_F(RecordsTest, AStartsDesignatorIgnoresTheStartKindInTheUpperBits) {
  NewAirport().Start(27, 1, 0, /*type=*/3).Runway(27, 0x21, 0);
  const TAirport1Rec& a = Open();
  EXPECT_EQ(a.Elevations[1].Caption, "Start 27 L");
  EXPECT_EQ(a.Elevations[2].Caption, "Runway 27");  // a runway's byte 0x21 is no designator
}

}  // namespace
}  // namespace qor
