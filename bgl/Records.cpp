#include "bgl/Records.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

// "Runway " or "Start " and the designator label. A large file has hundreds of thousands of
// them and few different ones: they are made once for every runway byte and designator.
class Captions {
 public:
  explicit Captions(std::string_view kind) {
    for (unsigned designator = 0; designator < kDesignators; ++designator) {
      for (unsigned runway = 0; runway < 256; ++runway) {
        std::string& text = table_[designator * 256 + runway];
        text = kind;
        AppendDesignatorLabel(text, static_cast<std::uint16_t>(designator << 8 | runway));
      }
    }
  }
  const std::string& Of(std::uint16_t word) const {
    const unsigned designator = std::min<unsigned>(word >> 8, kDesignators - 1);
    return table_[designator * 256 + (word & 0xFF)];
  }

 private:
  // The labelled designators, then one for every other byte, which adds nothing to the label.
  static constexpr unsigned kDesignators = 8;
  std::array<std::string, kDesignators * 256> table_;
};

const Captions& RunwayCaptions() {
  static const Captions captions("Runway ");
  return captions;
}

const Captions& StartCaptions() {
  static const Captions captions("Start ");
  return captions;
}

// Where a runway's or a start's designator word and elevation lie in its sub-record.
struct ElementLayout {
  std::uint32_t wordAt;
  std::uint32_t elevationAt;
  std::uint16_t wordMask;
  const Captions& (*captions)();
};
constexpr ElementLayout kRunwayLayout{8, 28, 0xFFFF, RunwayCaptions};
// The upper four bits of a start's designator byte hold the kind of start, not a designator.
constexpr ElementLayout kStartLayout{6, 16, 0x0FFF, StartCaptions};

// A runway or start too short for its elevation is not listed: its field would lie in the
// bytes after it, which a rewrite of that elevation would then corrupt.
bool ListsElevation(std::uint16_t id, std::uint32_t size) {
  return (id == kRunway && size >= kRunwayLayout.elevationAt + 4) ||
         (id == kStart && size >= kStartLayout.elevationAt + 4);
}

void ReadElement(BufferedFile& file, std::uint32_t s, const ElementLayout& layout,
                 std::vector<TElevation>& out) {
  const unsigned char* bytes = file.Bytes(s, layout.elevationAt + 4);
  if (bytes == nullptr) throw EInOutError(kReadBeyondEnd);
  const auto word = LittleEndian<std::uint16_t>(bytes + layout.wordAt);
  TElevation& e = out.emplace_back();
  e.Caption = layout.captions().Of(static_cast<std::uint16_t>(word & layout.wordMask));
  e.Offset = s + layout.elevationAt;
  e.Altitude = LittleEndian<std::uint32_t>(bytes + layout.elevationAt);
}

// The sub-records of an airport record from `first` to `end`, in file order: visit(offset, id,
// size) for each. The walk ends at a sub-record too small for its own header, which would be
// read again without end, at one that runs past its record, which would take the next
// record's bytes as its own, and before an offset past anything 32 bits reach.
template <typename Visit>
void WalkSubRecords(BufferedFile& file, std::uint32_t first, std::uint64_t end, Visit&& visit) {
  std::uint32_t s = first;
  while (end > s) {
    const unsigned char* header = file.Bytes(s, kSubRecordHeader);
    if (header == nullptr) throw EInOutError(kReadBeyondEnd);
    const auto id = LittleEndian<std::uint16_t>(header);
    const auto size = LittleEndian<std::uint32_t>(header + 2);
    if (size < kSubRecordHeader || std::uint64_t{s} + size > end) break;
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
  // The entries gather in a buffer kept from one airport to the next, then go into the file's
  // arena in one piece of their exact number.
  static thread_local std::vector<TElevation> gathered;
  gathered.clear();
  TElevation& self = gathered.emplace_back();
  self.Offset = elevationOffset;
  self.Altitude = altitude;

  owner.Pos = first;
  WalkSubRecords(file, first, end, [&](std::uint32_t s, std::uint16_t id, std::uint32_t size) {
    owner.TakeStructure(kSubRecordHeader);
    switch (id) {
      case kRunway:
        if (ListsElevation(id, size)) ReadElement(file, s, kRunwayLayout, gathered);
        break;
      case kStart:
        if (ListsElevation(id, size)) ReadElement(file, s, kStartLayout, gathered);
        break;
      case kName:
        ReadName(s, size);
        break;
      default:
        break;
    }
    if (std::uint64_t{s} + size <= 0xFFFFFFFFu) owner.Pos = s + size;
  });
  gathered.front().Caption = Name;
  auto* entries = static_cast<TElevation*>(
      owner.Arena().allocate(gathered.size() * sizeof(TElevation), alignof(TElevation)));
  std::uninitialized_copy(gathered.begin(), gathered.end(), entries);
  Elevations = std::span<const TElevation>(entries, gathered.size());
}

void TAirport1Rec::ReadName(std::uint32_t s, std::uint32_t size) {
  Name = {};
  if (size >= 7) {
    BufferedFile& file = BGL->File();
    static thread_local std::string text;  // kept from one name to the next
    text.clear();
    // The name runs to its zero or to the end of its sub-record, whichever comes first.
    std::uint64_t letters = 0;
    for (std::uint64_t at = std::uint64_t{s} + 6, end = std::uint64_t{s} + size; at < end;) {
      const std::string_view bytes = file.Span(at, static_cast<std::size_t>(end - at));
      if (bytes.empty()) throw EInOutError(kReadBeyondEnd);
      const std::size_t zero = bytes.find('\0');
      AppendCp1252AsUtf8(text, bytes.substr(0, zero));
      if (zero != std::string_view::npos) {
        letters += zero;
        break;
      }
      letters += bytes.size();
      at += bytes.size();
    }
    // The letters count as part of the file too: records shared by many subsections must not
    // read (and keep) one long name again for each of them.
    BGL->TakeStructure(letters);
    if (text.empty()) return;
    char* kept = static_cast<char*>(BGL->Arena().allocate(text.size(), 1));
    std::memcpy(kept, text.data(), text.size());
    Name = std::string_view(kept, text.size());
  }
}

}  // namespace qor
