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

template <typename T>
T LittleEndian(const unsigned char* p) {
  std::uint64_t v = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) v = (v << 8) | p[i];
  return static_cast<T>(v);
}

// "Runway " or "Start " and the designator label, made in place: most captions fit the text's
// own small buffer and need no allocation.
void SetCaption(std::string& caption, std::string_view kind, std::uint16_t word) {
  caption = kind;
  AppendDesignatorLabel(caption, word);
}

// The sub-records of an airport record from `first` to `end`, in file order: visit(offset, id,
// size) for each. The walk ends at a sub-record too small for its own header, which would be
// read again without end, and before an offset past anything 32 bits reach.
template <typename Visit>
void WalkSubRecords(BufferedFile& file, std::uint32_t first, std::uint64_t end, Visit&& visit) {
  std::uint32_t s = first;
  while (end > s) {
    const auto id = file.Get<std::uint16_t>(s);
    const auto size = file.Get<std::uint32_t>(std::uint64_t{s} + 2);
    if (size < kSubRecordHeader) break;
    visit(s, id, size);
    if (std::uint64_t{s} + size > 0xFFFFFFFFu) break;
    s += size;
  }
}

}  // namespace

TRecord::TRecord(TBGL& owner, std::uint32_t offset, TSubSection& subSection, TSection& section)
    : BGL(&owner), Section(&section), SubSection(&subSection) {
  const bool airports = section.SectionType == TBGL::kSectionAirports;
  owner.TakeStructure(airports ? 6 : 2);
  BufferedFile& file = owner.File();
  Id = file.Get<std::uint16_t>(offset);
  owner.Pos = offset + 2;
  if (airports) {
    Size = file.Get<std::uint32_t>(std::uint64_t{offset} + 2);
    owner.Pos = offset + 6;
  } else {
    Size = kNameListRecordSize;
  }
}

TAirport1Rec::TAirport1Rec(TBGL& owner, std::uint32_t r, TSubSection& subSection, TSection& section)
    : TRecord(owner, r, subSection, section) {
  BufferedFile& file = owner.File();
  // The header's fields after the identifier and size, in one read.
  unsigned char head[kHeaderSize - 6];
  if (!file.Read(std::uint64_t{r} + 6, head, sizeof head)) throw EInOutError(kReadBeyondEnd);
  const unsigned char* cell = head;
  for (auto& b : HeadBytes) b = *cell++;
  HeadValues[0] = LittleEndian<std::uint32_t>(cell);
  HeadValues[1] = LittleEndian<std::uint32_t>(cell + 4);
  cell += 8;
  const auto elevationOffset = static_cast<std::uint32_t>(r + 6 + (cell - head));
  const auto altitude = LittleEndian<std::uint32_t>(cell);
  cell += 4;
  for (std::size_t i = 2; i < HeadValues.size(); ++i, cell += 4) {
    HeadValues[i] = LittleEndian<std::uint32_t>(cell);
  }
  for (auto& w : HeadWords) {
    w = LittleEndian<std::uint16_t>(cell);
    cell += 2;
  }

  // The later simulator's airport records carry a longer header before their sub-records.
  const std::uint32_t first = r + (Id == kLaterLayoutId ? kLaterHeaderSize : kHeaderSize);
  const std::uint64_t end = std::uint64_t{r} + Size;
  // A first look counts the elements, so that the entries are made in one allocation.
  // A file cut short is reported by the walk proper, at the sub-record where it ends.
  std::size_t elements = 1;
  try {
    WalkSubRecords(file, first, end, [&](std::uint32_t, std::uint16_t id, std::uint32_t) {
      elements += id == kRunway || id == kStart ? 1 : 0;
    });
  } catch (const EInOutError&) {
  }
  Elevations.reserve(elements);
  TElevation& self = Elevations.emplace_back();
  self.Offset = elevationOffset;
  self.Altitude = altitude;

  owner.Pos = first;
  WalkSubRecords(file, first, end, [&](std::uint32_t s, std::uint16_t id, std::uint32_t size) {
    owner.TakeStructure(kSubRecordHeader);
    switch (id) {
      case kRunway:
        ReadRunway(s);
        break;
      case kStart:
        ReadStart(s);
        break;
      case kName:
        ReadName(s, size);
        break;
      default:
        break;
    }
    if (std::uint64_t{s} + size <= 0xFFFFFFFFu) owner.Pos = s + size;
  });
}

void TAirport1Rec::ReadRunway(std::uint32_t s) {
  BufferedFile& file = BGL->File();
  const auto word = file.Get<std::uint16_t>(std::uint64_t{s} + 8);
  const auto altitude = file.Get<std::uint32_t>(std::uint64_t{s} + 28);
  TElevation& e = Elevations.emplace_back();
  SetCaption(e.Caption, "Runway ", word);
  e.Offset = s + 28;
  e.Altitude = altitude;
}

void TAirport1Rec::ReadStart(std::uint32_t s) {
  BufferedFile& file = BGL->File();
  const auto word = file.Get<std::uint16_t>(std::uint64_t{s} + 6);
  const auto altitude = file.Get<std::uint32_t>(std::uint64_t{s} + 16);
  TElevation& e = Elevations.emplace_back();
  // The upper four bits of a start's designator byte hold the kind of start, not a designator.
  SetCaption(e.Caption, "Start ", static_cast<std::uint16_t>(word & 0x0FFF));
  e.Offset = s + 16;
  e.Altitude = altitude;
}

void TAirport1Rec::ReadName(std::uint32_t s, std::uint32_t size) {
  Name.clear();
  if (size >= 7) {
    BufferedFile& file = BGL->File();
    // The name runs to its zero or to the end of its sub-record, whichever comes first.
    for (std::uint64_t at = std::uint64_t{s} + 6, end = std::uint64_t{s} + size; at < end;) {
      const std::string_view bytes = file.Span(at, static_cast<std::size_t>(end - at));
      if (bytes.empty()) throw EInOutError(kReadBeyondEnd);
      const std::size_t zero = bytes.find('\0');
      AppendCp1252AsUtf8(Name, bytes.substr(0, zero));
      if (zero != std::string_view::npos) break;
      at += bytes.size();
    }
  }
  Elevations[0].Caption = Name;
}

}  // namespace qor
