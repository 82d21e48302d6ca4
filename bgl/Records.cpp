#include "bgl/Records.h"

#include "bgl/Bgl.h"
#include "bgl/DesignatorLabel.h"
#include "bgl/GetValue.h"
#include "platform/Errors.h"
#include "util/Cp1252.h"

namespace qor {

namespace {

constexpr std::uint16_t kRunway = 0x0004;
constexpr std::uint16_t kStart = 0x0011;
constexpr std::uint16_t kName = 0x0019;
constexpr std::uint32_t kSubRecordHeader = 6;
// The least sizes that hold the elevation field (at +28 in a runway, +16 in a start).
constexpr std::uint32_t kRunwayWithElevation = 32;
constexpr std::uint32_t kStartWithElevation = 20;

// Reads one field at offset, moving the cell past it.
std::int64_t Read(TBGL& bgl, std::uint32_t offset, char code, std::uint32_t& cell) {
  Variant v;
  GetValue(bgl.File(), offset, code, v, cell);
  return v.AsInt64();
}

}  // namespace

TRecord::TRecord(TBGL& owner, std::uint32_t offset, TSubSection& subSection, TSection& section)
    : BGL(&owner), Section(&section), SubSection(&subSection) {
  owner.TakeStructure(section.SectionType == TBGL::kSectionAirports ? 6 : 2);
  Id = static_cast<std::uint16_t>(Read(owner, offset, 'W', owner.Pos));
  if (section.SectionType == TBGL::kSectionAirports) {
    Size = static_cast<std::uint32_t>(Read(owner, offset + 2, 'D', owner.Pos));
  } else {
    Size = kNameListRecordSize;
  }
}

TAirport1Rec::TAirport1Rec(TBGL& owner, std::uint32_t r, TSubSection& subSection, TSection& section)
    : TRecord(owner, r, subSection, section) {
  Elevations.emplace_back();
  std::uint32_t cell = r + 6;
  for (auto& b : HeadBytes) b = static_cast<std::uint8_t>(Read(owner, cell, 'B', cell));
  HeadValues[0] = static_cast<std::uint32_t>(Read(owner, cell, 'D', cell));
  HeadValues[1] = static_cast<std::uint32_t>(Read(owner, cell, 'D', cell));
  Elevations[0].Offset = cell;
  Elevations[0].Altitude = static_cast<std::uint32_t>(Read(owner, cell, 'D', cell));
  for (std::size_t i = 2; i < HeadValues.size(); ++i) {
    HeadValues[i] = static_cast<std::uint32_t>(Read(owner, cell, 'D', cell));
  }
  for (auto& w : HeadWords) w = static_cast<std::uint16_t>(Read(owner, cell, 'W', cell));

  // The later simulator's airport records carry a longer header before their sub-records.
  owner.Pos = r + (Id == kLaterLayoutId ? kLaterHeaderSize : kHeaderSize);
  const std::uint64_t end = std::uint64_t{r} + Size;
  while (end > owner.Pos) {
    const std::uint32_t s = owner.Pos;
    std::uint32_t cursor = s;
    const auto id = static_cast<std::uint16_t>(Read(owner, s, 'W', cursor));
    const auto size = static_cast<std::uint32_t>(Read(owner, s + 2, 'D', cursor));
    // A sub-record too small for its own header would be read again without end; one that
    // runs past its record would take the next record's bytes as its own.
    if (size < kSubRecordHeader || std::uint64_t{s} + size > end) break;
    owner.TakeStructure(kSubRecordHeader);
    // A runway or start too short for its elevation is not listed: its field would lie in
    // the bytes after it, which a rewrite of that elevation would then corrupt.
    switch (id) {
      case kRunway:
        if (size >= kRunwayWithElevation) ReadRunway(s);
        break;
      case kStart:
        if (size >= kStartWithElevation) ReadStart(s);
        break;
      case kName:
        ReadName(s, size);
        break;
      default:
        break;
    }
    if (std::uint64_t{s} + size > 0xFFFFFFFFu) break;  // past anything a 32-bit offset reaches
    owner.Pos = s + size;
  }
}

void TAirport1Rec::ReadRunway(std::uint32_t s) {
  std::uint32_t cell = s;
  TElevation& e = Elevations.emplace_back();
  e.Caption =
      "Runway " +
      DesignatorLabel(Variant::Word(static_cast<std::uint16_t>(Read(*BGL, s + 8, 'W', cell))));
  e.Offset = s + 28;
  e.Altitude = static_cast<std::uint32_t>(Read(*BGL, s + 28, 'D', cell));
}

void TAirport1Rec::ReadStart(std::uint32_t s) {
  std::uint32_t cell = s;
  const auto word = static_cast<std::uint16_t>(Read(*BGL, s + 6, 'W', cell));
  TElevation& e = Elevations.emplace_back();
  // The upper four bits of a start's designator byte hold the kind of start, not a designator.
  e.Caption = "Start " + DesignatorLabel(Variant::Word(word & 0x0FFF));
  e.Offset = s + 16;
  e.Altitude = static_cast<std::uint32_t>(Read(*BGL, s + 16, 'D', cell));
}

void TAirport1Rec::ReadName(std::uint32_t s, std::uint32_t size) {
  Name.clear();
  if (size >= 7) {
    BufferedFile& file = BGL->File();
    const std::uint64_t begin = std::uint64_t{s} + 6;
    std::uint64_t at = begin;
    for (const std::uint64_t end = std::uint64_t{s} + size; at < end; ++at) {
      const int byte = file.ByteAt(at);
      if (byte < 0) throw EInOutError(kReadBeyondEnd);
      if (byte == 0) break;
      AppendCp1252AsUtf8(Name, static_cast<unsigned char>(byte));
    }
    // The letters count as part of the file too: records shared by many subsections must not
    // read (and keep) one long name again for each of them.
    BGL->TakeStructure(at - begin);
  }
  Elevations[0].Caption = Name;
}

}  // namespace qor
