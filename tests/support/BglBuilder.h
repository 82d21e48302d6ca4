#pragma once
// Composes FS2004 BGL files for tests, section by section, airport by airport, in a few
// readable lines. After Build() every part knows where it was put, so tests can name the bytes
// of a field; every count, size and offset can be set by hand to make damaged files.
//
//   BglBuilder b;
//   auto& ap = b.AddSection(3).AddSubSection().AddAirport().Name("Nord").Elevation(482000);
//   ap.Runway(24, 1, 480000).Start(6, 2, 470000).Com();
//   auto bytes = b.Build();   // ap.elevationOffset, ap.elements[0].elevationOffset, ...

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::test {

using Bytes = std::vector<std::uint8_t>;

// Windows-1252 bytes of a UTF-8 text (unknown characters become '?').
std::string Utf8ToCp1252(std::string_view utf8);

namespace subrecord {
inline constexpr std::uint16_t kRunway = 0x0004;
inline constexpr std::uint16_t kStart = 0x0011;
inline constexpr std::uint16_t kCom = 0x0012;
inline constexpr std::uint16_t kName = 0x0019;
inline constexpr std::uint16_t kTaxiwayPoints = 0x001A;
inline constexpr std::uint16_t kParking = 0x001B;
inline constexpr std::uint16_t kTaxiwayPaths = 0x001C;
inline constexpr std::uint16_t kDelete = 0x0033;
}  // namespace subrecord

class Airport {
 public:
  struct SubRecord {
    std::uint16_t id;
    Bytes payload;                         // the bytes after the 6-byte header
    std::optional<std::uint32_t> size;     // stored size, when set by hand
    std::optional<std::size_t> elevation;  // where the elevation field lies, from its start
    std::uint32_t offset = 0;              // filled by Build()
  };
  struct Element {  // a runway or a start, in file order
    std::uint16_t id;
    std::uint32_t offset = 0;           // of the sub-record
    std::uint32_t elevationOffset = 0;  // of its 4-byte elevation field
  };

  Airport();
  Airport& Id(std::uint16_t id);  // 0x0003; 0x003C for the later simulator's layout
  Airport& Name(std::string_view utf8);
  Airport& NameBytes(std::string_view raw, std::optional<std::uint32_t> size = std::nullopt);
  Airport& Elevation(std::int64_t millimetres);
  // The ident: letters and digits packed as the file stores them ("" blank), or the raw field.
  Airport& Icao(std::string_view ident);
  Airport& IcaoField(std::uint32_t field);
  // The reference point's raw fields (R + 16 and R + 12).
  Airport& Position(std::uint32_t latitudeField, std::uint32_t longitudeField);
  // The same in degrees, north and east positive.
  Airport& At(double north, double east);
  Airport& Runway(std::uint8_t number, std::uint8_t designator, std::int64_t millimetres);
  Airport& Start(std::uint8_t number, std::uint8_t designator, std::int64_t millimetres,
                 std::uint8_t type = 1);
  Airport& Com(std::uint16_t type = 1, std::uint32_t hertz = 118'500'000,
               std::string_view name = "TOUR");
  Airport& TaxiwayPoints(std::uint16_t count = 3);
  Airport& Parking(std::uint16_t count = 2);
  Airport& Other(std::uint16_t id, Bytes payload);
  // Stored size of the sub-record added last, and of the record.
  Airport& SizeOfLast(std::uint32_t size);
  Airport& Size(std::uint32_t size);

  std::uint16_t id = 0x0003;
  std::uint32_t elevationRaw = 0;
  std::uint32_t icaoField;
  std::uint32_t latitudeField;
  std::uint32_t longitudeField;
  std::optional<std::uint32_t> size;
  std::vector<SubRecord> subRecords;

  // Filled by Build().
  std::uint32_t offset = 0;
  std::uint32_t elevationOffset = 0;
  std::vector<Element> elements;

  std::uint32_t HeaderSize() const { return id == 0x003C ? 56 : 52; }
  Bytes Encode() const;
};

class SubSection {
 public:
  Airport& AddAirport();
  // Raw record bytes, for the subsections of other section types.
  SubSection& Data(Bytes bytes);
  SubSection& Id(std::uint32_t id);
  SubSection& Count(std::uint32_t count);
  SubSection& RecordOffset(std::uint32_t offset);

  std::uint32_t id = 0;
  std::optional<std::uint32_t> count;
  std::optional<std::uint32_t> recordOffset;
  std::deque<Airport> airports;
  Bytes data;

  std::uint32_t entryOffset = 0;  // filled by Build()
  std::uint32_t recordsAt = 0;    // filled by Build()
};

class Section {
 public:
  explicit Section(std::uint32_t type) : type(type) {}
  SubSection& AddSubSection(std::uint32_t id = 0);
  Section& SubSectionCount(std::uint32_t count);
  Section& TableOffset(std::uint32_t offset);

  std::uint32_t type;
  std::optional<std::uint32_t> subSectionCount;
  std::optional<std::uint32_t> tableOffset;
  std::deque<SubSection> subSections;

  std::uint32_t entryOffset = 0;  // filled by Build()
  std::uint32_t tableAt = 0;      // filled by Build()
};

class BglBuilder {
 public:
  static constexpr std::uint32_t kHeaderSize = 0x38;

  Section& AddSection(std::uint32_t type);
  BglBuilder& HeaderWord(std::uint16_t word);
  BglBuilder& DirectoryOffset(std::uint32_t offset);
  BglBuilder& SectionCount(std::uint32_t count);

  Bytes Build();
  // Builds and writes the file; returns its bytes.
  Bytes WriteTo(const std::string& path);

  std::deque<Section> sections;

 private:
  std::uint16_t headerWord_ = 0x0201;
  std::optional<std::uint32_t> directoryOffset_;
  std::optional<std::uint32_t> sectionCount_;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

}  // namespace qor::test
