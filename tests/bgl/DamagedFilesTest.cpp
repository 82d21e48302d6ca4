#include <chrono>
#include <functional>

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "bgl/PlainTree.h"
#include "platform/Errors.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

using test::BglBuilder;
using test::Bytes;

BglBuilder Scenery() {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  sub.AddAirport()
      .Name("Toussus-le-Noble")
      .Elevation(164000)
      .Runway(7, 1, 1)
      .Start(7, 1, 2)
      .Com()
      .TaxiwayPoints(5)
      .Parking(3);
  sub.AddAirport().Name("Chavenay").Elevation(146000).Runway(5, 0, 3).Start(23, 0, 4);
  b.AddSection(39).AddSubSection().Data({1, 0, 0, 0});
  b.AddSection(3).AddSubSection().AddAirport().Name("Pontoise").Runway(12, 0, 5);
  return b;
}

class DamagedFilesTest : public ::testing::Test {
 protected:
  // Opens the bytes and lists them; returns the error's text, or "" when the file opened.
  std::string OpenAndList(const Bytes& bytes) {
    test::WriteFile(path_, bytes);
    try {
      TBGL bgl(path_, dir_.Path() + "/");
      PlainTree tree;
      bgl.FillTree(tree);
      bgl.FindAirport("Chavenay");
      return "";
    } catch (const Exception& e) {
      return e.what();
    }
  }
  test::TempFolder dir_;
  std::string path_ = dir_ / "damaged.bgl";
};

TEST_F(DamagedFilesTest, EveryTruncationEndsInTheEndOfFileErrorOrAListingQuickly) {
  const Bytes whole = Scenery().Build();
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t length = 2; length < whole.size(); ++length) {
    const std::string error = OpenAndList(Bytes(whole.begin(), whole.begin() + length));
    // A cut in bytes the walk never reads leaves a file that still lists.
    EXPECT_TRUE(error.empty() || error == "Lecture au-delà de la fin de fichier" ||
                error.rfind("(TBGL.Create) Le fichier \"" + path_ + "\" est endommagé", 0) == 0)
        << "length " << length << ": " << error;
  }
  EXPECT_EQ(OpenAndList(whole), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(DamagedFilesTest, CorruptCountsAndOffsetsAreRefusedByNameBeforeAnythingIsBuilt) {
  struct Row {
    const char* name;
    std::function<void(BglBuilder&)> damage;
    const char* field;
  };
  const Row rows[] = {
      {"section count", [](BglBuilder& b) { b.SectionCount(0xFFFFFFFF); },
       "le répertoire des sections annonce 4294967295"},
      {"directory past the end", [](BglBuilder& b) { b.DirectoryOffset(0x7FFFFFF0); },
       "le répertoire des sections commence"},
      {"subsection count", [](BglBuilder& b) { b.sections[0].SubSectionCount(0xFFFFFFFF); },
       "sous-sections de la section 1 annonce"},
      {"table past the end", [](BglBuilder& b) { b.sections[2].TableOffset(0xFFFFFFF0); },
       "sous-sections de la section 3 commence"},
      {"record count", [](BglBuilder& b) { b.sections[0].subSections[0].Count(0xFFFFFFFF); },
       "la sous-section 1 de la section 1 annonce"},
      {"records past the end",
       [](BglBuilder& b) { b.sections[2].subSections[0].RecordOffset(0x80000000); },
       "la sous-section 1 de la section 3 commence"},
  };
  for (const Row& row : rows) {
    BglBuilder b = Scenery();
    row.damage(b);
    const std::string error = OpenAndList(b.Build());
    EXPECT_EQ(error.rfind("(TBGL.Create) Le fichier \"" + path_ + "\" est endommagé : ", 0), 0u)
        << row.name << ": " << error;
    EXPECT_NE(error.find(row.field), std::string::npos) << row.name << ": " << error;
  }
}

TEST_F(DamagedFilesTest, SizesThatWouldLoopEndTheWalkWithWhatWasRead) {
  for (const std::uint32_t size : {0u, 1u, 5u}) {
    BglBuilder b;
    auto& sub = b.AddSection(3).AddSubSection();
    sub.AddAirport()
        .Name("Premier")
        .Runway(1, 0, 1)
        .Other(0x1234, {})
        .SizeOfLast(size)
        .Runway(2, 0, 2);
    sub.AddAirport().Name("Deuxième").Size(size);
    sub.AddAirport().Name("Jamais lu");
    sub.Count(3);
    test::WriteFile(path_, b.Build());
    const TBGL bgl(path_, dir_.Path() + "/");
    const auto airports = bgl.Airports();
    ASSERT_EQ(airports.size(), 2u) << size;
    EXPECT_EQ(airports[0]->Elevations.size(), 2u) << size;
  }
}

TEST_F(DamagedFilesTest, TablesThatPointIntoOneAnotherCannotMultiplyTheWork) {
  // Every section entry names the same subsection table, whose every entry names the same
  // records: far more airports than the file holds.
  BglBuilder b;
  for (int i = 0; i < 200; ++i) b.AddSection(3);
  auto& first = b.sections[0];
  for (int j = 0; j < 200; ++j) first.AddSubSection().AddAirport().Name("A").Runway(1, 0, 1);
  Bytes bytes = b.Build();
  for (int i = 1; i < 200; ++i) {
    const std::uint32_t entry = BglBuilder::kHeaderSize + 20 * i;
    for (int k = 8; k < 16; ++k) bytes[entry + k] = bytes[BglBuilder::kHeaderSize + k];
  }
  const auto start = std::chrono::steady_clock::now();
  const std::string error = OpenAndList(bytes);
  EXPECT_NE(error.find("se chevauchent"), std::string::npos) << error;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
}  // namespace qor
