#include "bgl/Records.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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
// them and few different ones: they are made once for every runway byte and designator, their
// letters side by side.
class Captions {
 public:
  explicit Captions(std::string_view kind) {
    std::array<std::size_t, kCount + 1> starts{};
    for (unsigned i = 0; i < kCount; ++i) {
      starts[i] = letters_.size();
      letters_ += kind;
      AppendDesignatorLabel(letters_, static_cast<std::uint16_t>((i / 256) << 8 | (i % 256)));
    }
    starts[kCount] = letters_.size();
    for (unsigned i = 0; i < kCount; ++i) {
      table_[i] = std::string_view(letters_).substr(starts[i], starts[i + 1] - starts[i]);
    }
  }
  std::string_view Of(std::uint16_t word) const {
    const unsigned designator = std::min<unsigned>(word >> 8, kDesignators - 1);
    return table_[designator * 256 + (word & 0xFF)];
  }

 private:
  // The labelled designators, then one for every other byte, which adds nothing to the label.
  static constexpr unsigned kDesignators = 8;
  static constexpr unsigned kCount = kDesignators * 256;
  std::string letters_;
  std::array<std::string_view, kCount> table_;
};

// Where a runway's or a start's designator word and elevation lie in its sub-record.
struct ElementLayout {
  std::uint32_t wordAt;
  std::uint32_t elevationAt;
  std::uint16_t wordMask;
};
constexpr ElementLayout kRunwayLayout{8, 28, 0xFFFF};
// The upper four bits of a start's designator byte hold the kind of start, not a designator.
constexpr ElementLayout kStartLayout{6, 16, 0x0FFF};

struct CaptionTables {
  Captions runways{"Runway "};
  Captions starts{"Start "};
};

const CaptionTables& Tables() {
  static const CaptionTables tables;
  return tables;
}

// The entries of the airport being read, in room kept from one airport to the next, so that
// gathering them takes no new memory; they go into the file's arena at the end, in one piece.
class Gathered {
 public:
  void Clear() { size_ = 0; }
  void Add(const TElevation& entry) {
    if (size_ == capacity_) [[unlikely]]
      Grow();
    items_[size_++] = entry;
  }
  TElevation& First() { return items_[0]; }
  std::span<const TElevation> CopyInto(std::pmr::memory_resource& arena) const {
    auto* copy =
        static_cast<TElevation*>(arena.allocate(size_ * sizeof(TElevation), alignof(TElevation)));
    std::uninitialized_copy(items_.get(), items_.get() + size_, copy);
    return {copy, size_};
  }

 private:
  [[gnu::noinline]] void Grow() {
    const std::size_t capacity = std::max<std::size_t>(16, 2 * capacity_);
    auto items = std::make_unique<TElevation[]>(capacity);
    std::copy(items_.get(), items_.get() + size_, items.get());
    items_ = std::move(items);
    capacity_ = capacity;
  }

  std::unique_ptr<TElevation[]> items_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

// A runway or start too short for its elevation is not listed: its field would lie in the
// bytes after it, which a rewrite of that elevation would then corrupt.
bool ListsElevation(std::uint16_t id, std::uint32_t size) {
  return (id == kRunway && size >= kRunwayLayout.elevationAt + 4) ||
         (id == kStart && size >= kStartLayout.elevationAt + 4);
}

void ReadElement(BufferedFile& file, std::uint32_t s, const ElementLayout& layout,
                 const Captions& captions, Gathered& out) {
  const unsigned char* bytes = file.Bytes(s, layout.elevationAt + 4);
  if (bytes == nullptr) throw EReadBeyondEnd();
  const auto word = LittleEndian<std::uint16_t>(bytes + layout.wordAt);
  out.Add(TElevation{captions.Of(static_cast<std::uint16_t>(word & layout.wordMask)),
                     LittleEndian<std::uint32_t>(bytes + layout.elevationAt),
                     s + layout.elevationAt});
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
    if (header == nullptr) throw EReadBeyondEnd();
    const auto id = LittleEndian<std::uint16_t>(header);
    const auto size = LittleEndian<std::uint32_t>(header + 2);
    if (size < kSubRecordHeader || std::uint64_t{s} + size > end) break;
    visit(s, id, size);
    if (std::uint64_t{s} + size > 0xFFFFFFFFu) break;
    s += size;
  }
}

}  // namespace

std::string IcaoIdent(std::uint32_t field) {
  // Base 38 in 27 bits holds at most six letters.
  char letters[8];
  std::size_t count = 0;
  for (std::uint32_t v = field >> 5; v != 0 && count < sizeof letters; v /= 38) {
    const std::uint32_t code = v % 38;
    if (code >= 12) {
      letters[count++] = static_cast<char>('A' + (code - 12));
    } else if (code >= 2) {
      letters[count++] = static_cast<char>('0' + (code - 2));
    }
  }
  std::string ident(letters, count);
  std::reverse(ident.begin(), ident.end());
  return ident;
}

double LatitudeDegrees(std::uint32_t field) {
  return 90.0 - field * (180.0 / (1u << 29));
}

double LongitudeDegrees(std::uint32_t field) {
  return field * (360.0 / (3.0 * (1u << 28))) - 180.0;
}

bool IsIdentText(std::string_view text) {
  if (text.empty() || text.size() > 4) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

bool IsIdentOf(std::string_view text, std::string_view icao) {
  if (text.size() != icao.size() || !IsIdentText(text)) return false;
  return std::equal(text.begin(), text.end(), icao.begin(), [](char t, char i) {
    return (t >= 'a' && t <= 'z' ? static_cast<char>(t - 'a' + 'A') : t) == i;
  });
}

TRecord::TRecord(TBGL& owner, std::uint32_t offset, TSubSection& subSection, TSection& section)
    : BGL(&owner), Section(&section), SubSection(&subSection) {
  const bool airports = section.SectionType == TBGL::kSectionAirports;
  owner.TakeStructure(airports ? 6 : 2);
  BufferedFile& file = owner.File();
  Id = file.Get<std::uint16_t>(offset);
  if (airports) {
    Size = file.Get<std::uint32_t>(std::uint64_t{offset} + 2);
  } else {
    Size = kNameListRecordSize;
  }
}

TAirport1Rec::TAirport1Rec(TBGL& owner, std::uint32_t r, TSubSection& subSection, TSection& section)
    : TRecord(owner, r, subSection, section) {
  BufferedFile& file = owner.File();
  // The header's fields after the identifier and size, read in place.
  const unsigned char* head = file.Bytes(std::uint64_t{r} + 6, kHeaderSize - 6);
  if (head == nullptr) throw EReadBeyondEnd();
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
  static thread_local Gathered gathered;
  gathered.Clear();
  gathered.Add(TElevation{{}, altitude, elevationOffset});

  const CaptionTables& captions = Tables();
  WalkSubRecords(file, first, end, [&](std::uint32_t s, std::uint16_t id, std::uint32_t size) {
    owner.TakeStructure(kSubRecordHeader);
    switch (id) {
      case kRunway:
        if (ListsElevation(id, size)) {
          ReadElement(file, s, kRunwayLayout, captions.runways, gathered);
        }
        break;
      case kStart:
        if (ListsElevation(id, size)) ReadElement(file, s, kStartLayout, captions.starts, gathered);
        break;
      case kName:
        ReadName(s, size);
        break;
      default:
        break;
    }
  });
  gathered.First().Caption = Name;
  Elevations = gathered.CopyInto(owner.Arena());
}

namespace {

bool IsAscii(std::string_view bytes) {
  unsigned char bits = 0;
  for (const char c : bytes) bits |= static_cast<unsigned char>(c);
  return bits < 0x80;
}

std::string_view KeepIn(std::pmr::memory_resource& arena, std::string_view text) {
  if (text.empty()) return {};
  char* kept = static_cast<char*>(arena.allocate(text.size(), 1));
  std::memcpy(kept, text.data(), text.size());
  return std::string_view(kept, text.size());
}

}  // namespace

void TAirport1Rec::ReadName(std::uint32_t s, std::uint32_t size) {
  Name = {};
  if (size < 7) return;
  BufferedFile& file = BGL->File();
  // The name runs to its zero or to the end of its sub-record, whichever comes first. The
  // letters count as part of the file too: records shared by many subsections must not read
  // (and keep) one long name again for each of them.
  std::uint64_t at = std::uint64_t{s} + 6;
  const std::uint64_t end = std::uint64_t{s} + size;
  std::string_view bytes = file.Span(at, static_cast<std::size_t>(end - at));
  if (bytes.empty()) throw EReadBeyondEnd();
  std::size_t zero = bytes.find('\0');
  static thread_local std::string text;  // kept from one name to the next
  // Nearly every name lies whole in the window; a plain ASCII one is the same in UTF-8.
  if (zero != std::string_view::npos) {
    BGL->TakeStructure(zero);
    const std::string_view name = bytes.substr(0, zero);
    if (IsAscii(name)) {
      Name = KeepIn(BGL->Arena(), name);
    } else {
      if (text.size() < kUtf8PerCp1252 * zero) text.resize(kUtf8PerCp1252 * zero);
      const char* end = WriteCp1252AsUtf8(name, text.data());
      Name = KeepIn(BGL->Arena(), std::string_view(text.data(), end - text.data()));
    }
    return;
  }
  text.clear();
  std::uint64_t letters = 0;
  for (;;) {
    AppendCp1252AsUtf8(text, bytes.substr(0, zero));
    if (zero != std::string_view::npos) {
      letters += zero;
      break;
    }
    letters += bytes.size();
    at += bytes.size();
    if (at >= end) break;
    bytes = file.Span(at, static_cast<std::size_t>(end - at));
    if (bytes.empty()) throw EReadBeyondEnd();
    zero = bytes.find('\0');
  }
  BGL->TakeStructure(letters);
  Name = KeepIn(BGL->Arena(), text);
}

}  // namespace qor
