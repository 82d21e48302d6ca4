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

// The ident and the reference point, read from the record's own fields (hand-packed here,
// not through the builder's encoder, so that one mistake cannot hide in both).
TEST(AirportIdentityTest, IdentsAndPositionsDecodeAsTheFileStoresThem) {
  constexpr auto pack = [](std::initializer_list<std::uint32_t> codes) {
    std::uint32_t v = 0;
    for (const std::uint32_t c : codes) v = v * 38 + c;
    return v << 5;
  };
  const struct {
    std::uint32_t field;
    const char* ident;
  } idents[] = {
      {0, ""},                                  // blank
      {pack({23, 17, 27, 18}), "LFPG"},         // four letters
      {pack({14, 5, 23}), "C3L"},               // letters and a digit
      {pack({3, 2, 11}), "109"},                // digits only
      {pack({0, 0, 12}), "A"},                  // leading blanks
      {pack({37, 37, 37, 37}) | 0x1F, "ZZZZ"},  // the low five bits are not the ident's
  };
  for (const auto& row : idents) EXPECT_EQ(IcaoIdent(row.field), row.ident) << row.field;

  const struct {
    std::uint32_t latitude, longitude;
    double north, east;
  } points[] = {
      {0, 0x18000000, 90.0, 0.0},          // the north pole, the meridian
      {1u << 29, 0, -90.0, -180.0},        // the south pole, the date line west
      {1u << 28, 0x30000000, 0.0, 180.0},  // the equator, the date line east
      {0x0D5A0000, 0x18000000 + 0x00DE0000, 90 - 0x0D5A0000 * 180.0 / (1 << 29),
       0x00DE0000 * 360.0 / (3.0 * (1 << 28))},  // somewhere in France
  };
  for (const auto& row : points) {
    EXPECT_NEAR(LatitudeDegrees(row.latitude), row.north, 1e-9);
    EXPECT_NEAR(LongitudeDegrees(row.longitude), row.east, 1e-9);
  }

  EXPECT_TRUE(IsIdentOf("lfpg", "LFPG"));
  EXPECT_TRUE(IsIdentOf("LfPg", "LFPG"));
  EXPECT_TRUE(IsIdentOf("c3l", "C3L"));
  EXPECT_FALSE(IsIdentOf("LFP", "LFPG"));
  EXPECT_FALSE(IsIdentOf("", ""));
  EXPECT_FALSE(IsIdentOf("LFPG ", "LFPG"));
  EXPECT_FALSE(IsIdentOf("é", "É"));
}

TEST_F(RecordsTest, AnAirportIsFoundByItsIdentInAnyCase) {
  NewAirport().Name("Charles de Gaulle").Icao("LFPG").Position(0x0D5A0000, 0x19000000);
  const TAirport1Rec& a = Open();
  EXPECT_EQ(a.Icao(), "LFPG");
  EXPECT_NEAR(a.Latitude(), 90 - 0x0D5A0000 * 180.0 / (1 << 29), 1e-9);
  EXPECT_NEAR(a.Longitude(), 0x01000000 * 360.0 / (3.0 * (1 << 28)), 1e-9);
  EXPECT_TRUE(bgl_->FindAirport("lfpg"));
  EXPECT_TRUE(bgl_->FindAirport("charles de gaulle"));
  EXPECT_FALSE(bgl_->FindAirport("lfp"));
  EXPECT_FALSE(bgl_->FindAirport("LFPGX"));
}

}  // namespace
}  // namespace qor
