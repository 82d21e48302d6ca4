// What a scan of a library reads of each file: the airports, and nothing else of the file.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "platform/Errors.h"
#include "platform/SysCalls_posix.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

using test::BglBuilder;
using test::Bytes;

// Counts the bytes the file layer reads.
struct CountingReads : platform::SysCalls {
  ssize_t PRead(int fd, void* buffer, std::size_t n, off_t offset) override {
    const ssize_t got = SysCalls::PRead(fd, buffer, n, offset);
    if (got > 0) bytes += static_cast<std::size_t>(got);
    return got;
  }
  std::size_t bytes = 0;
};

struct Field {
  std::string name;
  std::uint32_t offset;
  std::uint32_t altitude;
  bool operator==(const Field&) const = default;
};

std::vector<Field> Fields(const TBGL& bgl) {
  std::vector<Field> fields;
  for (const TAirport1Rec* airport : bgl.Airports()) {
    for (const TElevation& e : airport->Elevations) {
      fields.push_back(
          {std::string(airport->Name) + "/" + std::string(e.Caption), e.Offset, e.Altitude});
    }
  }
  return fields;
}

TEST(AirportScopeTest, AScanReadsTheAirportsOfAFileAndLittleElse) {
  test::TempFolder dir;
  const std::string desktop = dir.Path() + "/";
  // Scenery objects before and after the airports, and airports enough for several windows.
  BglBuilder b;
  b.AddSection(19).AddSubSection().Data(Bytes(300'000, 0x5A));
  auto& airports = b.AddSection(3).AddSubSection();
  for (int i = 0; i < 600; ++i) {
    airports.AddAirport()
        .Name("Aérodrome " + std::to_string(i))
        .Elevation(1000 * i)
        .Runway(9, 0, 1000 * i + 1)
        .Start(27, 0, 1000 * i + 2)
        .Parking(4);
  }
  b.AddSection(3).AddSubSection().AddAirport().Name("Seul").Elevation(-5);
  b.AddSection(20).AddSubSection().Data(Bytes(500'000, 0xA5));
  const std::string file = dir / "mixte.bgl";
  const Bytes bytes = b.WriteTo(file);
  const std::size_t airportBytes = bytes.size() - 800'000;

  const TBGL whole(file, desktop);
  CountingReads reads;
  {
    const platform::ScopedSysCalls seam(reads);
    const TBGL scan(file, desktop, TBGL::Scope::Airports);
    EXPECT_EQ(Fields(scan), Fields(whole));
    EXPECT_EQ(Fields(scan).size(), 600u * 3 + 1);
  }
  EXPECT_LE(reads.bytes, airportBytes + 4096);

  // A file without airports costs its header and section directory.
  BglBuilder none;
  none.AddSection(19).AddSubSection().Data(Bytes(200'000, 0x5A));
  none.AddSection(20).AddSubSection().Data(Bytes(200'000, 0xA5));
  const std::string empty = dir / "objets.bgl";
  none.WriteTo(empty);
  reads.bytes = 0;
  {
    const platform::ScopedSysCalls seam(reads);
    EXPECT_EQ(TBGL(empty, desktop, TBGL::Scope::Airports).AirportCount(), 0);
  }
  EXPECT_LE(reads.bytes, 1024u);

  // A read-only file is scanned; only opening it to write is refused.
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(TBGL(file, desktop, TBGL::Scope::Airports).AirportCount(), 601);
  EXPECT_THROW(TBGL(file, desktop), EInOutError);
}

}  // namespace
}  // namespace qor
