#pragma once
// The records of the subsections the library decodes: the generic record, which knows its
// identifier and size, and the airport record with its elevation entries.

#include <array>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace qor {

class TBGL;
class TSection;
class TSubSection;

// One elevation of an airport: entry 0 is the airport itself, then its runways and starts in
// file order. Altitude is the raw field; it holds two's complement, so everything that shows
// or compares an elevation reads SignedAltitude(). Caption is a text of the file's records or of
// a table of the library, valid as long as the file is open.
struct TElevation {
  std::string_view Caption;
  std::uint32_t Altitude = 0;  // millimetres, as stored
  std::uint32_t Offset = 0;    // absolute offset of the 4-byte field

  std::int32_t SignedAltitude() const { return static_cast<std::int32_t>(Altitude); }
};

class TRecord {
 public:
  // The size of the records of a name list, which are never walked past.
  static constexpr std::uint32_t kNameListRecordSize = 99999999;

  TRecord(TBGL& owner, std::uint32_t offset, TSubSection& subSection, TSection& section);

  TBGL* BGL;
  TSection* Section;
  TSubSection* SubSection;
  std::uint16_t Id = 0;
  std::uint32_t Size = 0;
};

// Records live in their file's arena (TBGL::Arena), their texts and entries too: nothing of
// theirs needs letting go, and their memory goes with the arena. Which kind a record is follows
// from its section: the records of the airport-data sections are airport records.
struct RecordEnd {
  void operator()(TRecord*) const {}
};
using RecordPtr = std::unique_ptr<TRecord, RecordEnd>;

template <typename T, typename... Args>
RecordPtr MakeRecord(std::pmr::memory_resource& arena, Args&&... args) {
  static_assert(std::is_trivially_destructible_v<T>, "a record's end would not run");
  void* memory = arena.allocate(sizeof(T), alignof(T));
  return RecordPtr(new (memory) T(std::forward<Args>(args)...));
}

// The airport's ICAO ident as the record stores it (at R + 40): shifted left by 5 bits, the
// letters packed base 38 (0 blank, 2 to 11 the digits, 12 to 37 the letters A to Z), the last
// letter the lowest. "" for a blank ident.
std::string IcaoIdent(std::uint32_t field);
// The reference point's latitude (field at R + 16) and longitude (R + 12) in degrees, north
// and east positive.
double LatitudeDegrees(std::uint32_t field);
double LongitudeDegrees(std::uint32_t field);
// Whether text may name an ident: 1 to 4 letters a to z (any case) or digits.
bool IsIdentText(std::string_view text);
// Whether text names the ident: 1 to 4 letters or digits equal to it, in any letter case.
bool IsIdentOf(std::string_view text, std::string_view icao);

class TAirport1Rec : public TRecord {
 public:
  // Identifier of the airport records of the simulator's later layout, with a longer header.
  static constexpr std::uint16_t kLaterLayoutId = 0x003C;
  static constexpr std::uint32_t kHeaderSize = 52;
  static constexpr std::uint32_t kLaterHeaderSize = 56;

  TAirport1Rec(TBGL& owner, std::uint32_t offset, TSubSection& subSection, TSection& section);

  std::array<std::uint8_t, 6> HeadBytes{};
  std::array<std::uint32_t, 7> HeadValues{};
  std::array<std::uint16_t, 4> HeadWords{};
  std::string Icao() const { return IcaoIdent(HeadValues[6]); }
  double Latitude() const { return LatitudeDegrees(HeadValues[1]); }
  double Longitude() const { return LongitudeDegrees(HeadValues[0]); }

  std::span<const TElevation> Elevations;  // in the file's arena
  std::string_view Name;                   // UTF-8, in the file's arena

 private:
  // Reads the name into the file's arena and Name; the caller gives it to entry 0.
  void ReadName(std::uint32_t s, std::uint32_t size);
};

}  // namespace qor
