#include "tests/support/BglBuilder.h"

#include "tests/support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "util/Cp1252.h"

namespace qor::test {

namespace {

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

void Append16(Bytes& b, std::uint32_t v) {
  Put16(b, b.size(), v);
}
void Append32(Bytes& b, std::uint32_t v) {
  Put32(b, b.size(), v);
}

// Packed latitude and longitude of a point near Paris, as FS2004 stores them.
constexpr std::uint32_t kLongitude = 0x1D4B0000;
constexpr std::uint32_t kLatitude = 0x0D5A0000;

}  // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c0 = static_cast<unsigned char>(utf8[i]);
    char32_t c = c0;
    std::size_t n = 1;
    if (c0 >= 0xF0)
      c = c0 & 0x07, n = 4;
    else if (c0 >= 0xE0)
      c = c0 & 0x0F, n = 3;
    else if (c0 >= 0xC0)
      c = c0 & 0x1F, n = 2;
    for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += n;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char byte = '?';
    for (int k = 0x80; k < 0xA0; ++k) {
      if (Cp1252CodePoint(static_cast<unsigned char>(k)) == c) byte = static_cast<char>(k);
    }
    out.push_back(byte);
  }
  return out;
}

// ---- Airport ----

Airport& Airport::Id(std::uint16_t value) {
  id = value;
  return *this;
}

Airport& Airport::Name(std::string_view utf8) {
  const std::string raw = Utf8ToCp1252(utf8);
  Bytes payload(raw.begin(), raw.end());
  payload.push_back(0);
  subRecords.push_back({subrecord::kName, std::move(payload), std::nullopt, std::nullopt});
  return *this;
}

Airport& Airport::NameBytes(std::string_view raw, std::optional<std::uint32_t> storedSize) {
  subRecords.push_back({subrecord::kName, Bytes(raw.begin(), raw.end()), storedSize, std::nullopt});
  return *this;
}

Airport::Airport() : icaoField(0), latitudeField(kLatitude), longitudeField(kLongitude) {
  Icao("LFPG");
}

Airport& Airport::Icao(std::string_view ident) {
  std::uint32_t packed = 0;
  for (const char c : ident) {
    packed = packed * 38 + (c >= '0' && c <= '9' ? 2 + (c - '0') : 12 + (c - 'A'));
  }
  return IcaoField(packed << 5);
}

Airport& Airport::IcaoField(std::uint32_t field) {
  icaoField = field;
  return *this;
}

Airport& Airport::Position(std::uint32_t latitude, std::uint32_t longitude) {
  latitudeField = latitude;
  longitudeField = longitude;
  return *this;
}

Airport& Airport::At(double north, double east) {
  return Position(static_cast<std::uint32_t>((90.0 - north) * (1u << 29) / 180.0 + 0.5),
                  static_cast<std::uint32_t>((east + 180.0) * 3.0 * (1u << 28) / 360.0 + 0.5));
}

Airport& Airport::Elevation(std::int64_t millimetres) {
  elevationRaw = static_cast<std::uint32_t>(millimetres);
  return *this;
}

Airport& Airport::Runway(std::uint8_t number, std::uint8_t designator, std::int64_t mm) {
  Bytes p(46, 0);       // a runway of 52 bytes, without nested records
  Put16(p, 0, 0x0004);  // S+6 surface: asphalt
  p[2] = number;        // S+8
  p[3] = designator;    // S+9
  p[4] = static_cast<std::uint8_t>(number <= 36 ? (number + 17) % 36 + 1 : number);  // S+10
  p[5] = designator == 1 ? 2 : designator == 2 ? 1 : designator;                     // S+11
  Put32(p, 6, kLongitude);                                                           // S+12
  Put32(p, 10, kLatitude);                                                           // S+16
  Put32(p, 14, 2400 * 1000);                                                         // S+20 length
  Put32(p, 18, 45 * 1000);                                                           // S+24 width
  Put32(p, 22, static_cast<std::uint32_t>(mm));  // S+28 elevation
  subRecords.push_back({subrecord::kRunway, std::move(p), std::nullopt, 22});
  return *this;
}

Airport& Airport::Start(std::uint8_t number, std::uint8_t designator, std::int64_t mm,
                        std::uint8_t type) {
  Bytes p(18, 0);                                                       // a start of 24 bytes
  p[0] = number;                                                        // S+6
  p[1] = static_cast<std::uint8_t>((type << 4) | (designator & 0x0F));  // S+7
  Put32(p, 2, kLongitude);                                              // S+8
  Put32(p, 6, kLatitude);                                               // S+12
  Put32(p, 10, static_cast<std::uint32_t>(mm));                         // S+16 elevation
  Put32(p, 14, 0x43340000);                                             // S+20 heading 180.0f
  subRecords.push_back({subrecord::kStart, std::move(p), std::nullopt, 10});
  return *this;
}

Airport& Airport::Com(std::uint16_t type, std::uint32_t hertz, std::string_view name) {
  Bytes p;
  Append16(p, type);
  Append32(p, hertz);
  const std::string raw = Utf8ToCp1252(name);
  p.insert(p.end(), raw.begin(), raw.end());
  p.push_back(0);
  subRecords.push_back({subrecord::kCom, std::move(p), std::nullopt, std::nullopt});
  return *this;
}

Airport& Airport::TaxiwayPoints(std::uint16_t count) {
  Bytes p;
  Append16(p, count);
  for (std::uint16_t i = 0; i < count; ++i) {
    Append16(p, 1);  // type, flags
    Append16(p, 0);
    Append32(p, kLongitude + i * 16);
    Append32(p, kLatitude + i * 16);
  }
  subRecords.push_back({subrecord::kTaxiwayPoints, std::move(p), std::nullopt, std::nullopt});
  return *this;
}

Airport& Airport::Parking(std::uint16_t count) {
  Bytes p;
  Append16(p, count);
  for (std::uint16_t i = 0; i < count; ++i) {
    Append32(p, 0x00A00000u | i);  // name, number and type packed
    Append32(p, 0x40A00000);       // radius 5.0f
    Append32(p, 0x43340000);       // heading 180.0f
    Append32(p, kLongitude - i * 16);
    Append32(p, kLatitude - i * 16);
  }
  subRecords.push_back({subrecord::kParking, std::move(p), std::nullopt, std::nullopt});
  return *this;
}

Airport& Airport::Other(std::uint16_t otherId, Bytes payload) {
  subRecords.push_back({otherId, std::move(payload), std::nullopt, std::nullopt});
  return *this;
}

Airport& Airport::SizeOfLast(std::uint32_t stored) {
  if (subRecords.empty()) throw std::logic_error("SizeOfLast: no sub-record yet");
  subRecords.back().size = stored;
  return *this;
}

Airport& Airport::Size(std::uint32_t stored) {
  size = stored;
  return *this;
}

Bytes Airport::Encode() const {
  Bytes b(HeaderSize(), 0);
  Put16(b, 0, id);
  std::uint8_t runways = 0, starts = 0, coms = 0;
  for (const auto& s : subRecords) {
    runways += s.id == subrecord::kRunway;
    starts += s.id == subrecord::kStart;
    coms += s.id == subrecord::kCom;
  }
  b[6] = runways;
  b[7] = coms;
  b[8] = starts;
  Put32(b, 12, longitudeField);
  Put32(b, 16, latitudeField);
  Put32(b, 20, elevationRaw);
  Put32(b, 24, longitudeField + 64);  // tower
  Put32(b, 28, latitudeField + 64);
  Put32(b, 32, elevationRaw);
  Put32(b, 36, 0);  // magnetic variation
  Put32(b, 40, icaoField);
  for (const auto& s : subRecords) {
    Append16(b, s.id);
    Append32(b, s.size.value_or(static_cast<std::uint32_t>(6 + s.payload.size())));
    b.insert(b.end(), s.payload.begin(), s.payload.end());
  }
  Put32(b, 2, size.value_or(static_cast<std::uint32_t>(b.size())));
  return b;
}

// ---- SubSection and Section ----

Airport& SubSection::AddAirport() {
  return airports.emplace_back();
}

SubSection& SubSection::Data(Bytes bytes) {
  data = std::move(bytes);
  return *this;
}
SubSection& SubSection::Id(std::uint32_t value) {
  id = value;
  return *this;
}
SubSection& SubSection::Count(std::uint32_t value) {
  count = value;
  return *this;
}
SubSection& SubSection::RecordOffset(std::uint32_t value) {
  recordOffset = value;
  return *this;
}

SubSection& Section::AddSubSection(std::uint32_t id) {
  SubSection& sub = subSections.emplace_back();
  sub.id = id;
  return sub;
}
Section& Section::SubSectionCount(std::uint32_t value) {
  subSectionCount = value;
  return *this;
}
Section& Section::TableOffset(std::uint32_t value) {
  tableOffset = value;
  return *this;
}

// ---- BglBuilder ----

Section& BglBuilder::AddSection(std::uint32_t type) {
  return sections.emplace_back(type);
}
BglBuilder& BglBuilder::HeaderWord(std::uint16_t word) {
  headerWord_ = word;
  return *this;
}
BglBuilder& BglBuilder::DirectoryOffset(std::uint32_t offset) {
  directoryOffset_ = offset;
  return *this;
}
BglBuilder& BglBuilder::SectionCount(std::uint32_t count) {
  sectionCount_ = count;
  return *this;
}

Bytes BglBuilder::Build() {
  // Layout: header, section directory, every subsection table, then every record.
  Bytes b(kHeaderSize, 0);
  Put16(b, 0, headerWord_);
  Put16(b, 2, 0x1992);
  Put32(b, 4, directoryOffset_.value_or(kHeaderSize));
  Put32(b, 8, 0xC5A5B400);  // creation time, as the compiler stamps it
  Put32(b, 12, 0x01C3A8F0);
  Put32(b, 16, 0x08051803);
  Put32(b, 20, sectionCount_.value_or(static_cast<std::uint32_t>(sections.size())));

  std::uint32_t at = kHeaderSize + 20 * static_cast<std::uint32_t>(sections.size());
  for (auto& section : sections) {
    section.tableAt = at;
    at += 16 * static_cast<std::uint32_t>(section.subSections.size());
  }
  b.resize(at, 0);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    Section& section = sections[i];
    section.entryOffset = kHeaderSize + 20 * static_cast<std::uint32_t>(i);
    Put32(b, section.entryOffset, section.type);
    Put32(b, section.entryOffset + 4, 1);
    Put32(b, section.entryOffset + 8,
          section.subSectionCount.value_or(static_cast<std::uint32_t>(section.subSections.size())));
    Put32(b, section.entryOffset + 12, section.tableOffset.value_or(section.tableAt));
    Put32(b, section.entryOffset + 16, 16 * static_cast<std::uint32_t>(section.subSections.size()));
    for (std::size_t j = 0; j < section.subSections.size(); ++j) {
      SubSection& sub = section.subSections[j];
      sub.entryOffset = section.tableAt + 16 * static_cast<std::uint32_t>(j);
      sub.recordsAt = static_cast<std::uint32_t>(b.size());
      for (Airport& airport : sub.airports) {
        airport.offset = static_cast<std::uint32_t>(b.size());
        airport.elevationOffset = airport.offset + 20;
        airport.elements.clear();
        std::uint32_t s = airport.offset + airport.HeaderSize();
        for (auto& record : airport.subRecords) {
          record.offset = s;
          if (record.elevation) {
            airport.elements.push_back(
                {record.id, s, s + 6 + static_cast<std::uint32_t>(*record.elevation)});
          }
          s += 6 + static_cast<std::uint32_t>(record.payload.size());
        }
        const Bytes encoded = airport.Encode();
        b.insert(b.end(), encoded.begin(), encoded.end());
      }
      b.insert(b.end(), sub.data.begin(), sub.data.end());
      const auto recordBytes = static_cast<std::uint32_t>(b.size()) - sub.recordsAt;
      const auto records =
          static_cast<std::uint32_t>(sub.airports.size() + (sub.data.empty() ? 0 : 1));
      Put32(b, sub.entryOffset, sub.id);
      Put32(b, sub.entryOffset + 4, sub.count.value_or(records));
      Put32(b, sub.entryOffset + 8, sub.recordOffset.value_or(sub.recordsAt));
      Put32(b, sub.entryOffset + 12, recordBytes);
    }
  }
  return b;
}

Bytes BglBuilder::WriteTo(const std::string& path) {
  Bytes bytes = Build();
  WriteFile(path, bytes);
  return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qor::test
