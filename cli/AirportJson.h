#pragma once
// The one writer of an airport's JSON, for list --json and the library commands alike: from its
// place on, `, "latitude": L, "longitude": L, "elevation_mm": E, "offset": O, "elements": [...]}`,
// written in place into a sink (cli/Json.h's StringSink, or the list's output buffer). What comes
// before (name, ident, area...) is the caller's.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/Json.h"

namespace qor::cli {

// A file's list puts each element on a line of its own under its airport; a definition of the
// library keeps them on its line.
enum class ElementLines { kOwn, kAirports };

// The words and numbers of an airport's place or of an element, with room to spare.
inline constexpr std::size_t kAirportRoom = 256;
inline constexpr std::size_t kElementRoom = 128;

char* WriteAirportPlace(char* out, double latitude, double longitude, std::int32_t elevationMm,
                        std::uint32_t offset);
char* WriteElement(char* out, std::string_view caption, std::int32_t elevationMm,
                   std::uint32_t offset, bool first, ElementLines lines);
char* WriteElementsEnd(char* out, bool none, ElementLines lines);

// forEachElement(write) calls write(caption, elevationMm, offset) for each runway and start of
// the airport, in order.
template <typename Sink, typename ForEachElement>
void WriteAirportJson(Sink& out, double latitude, double longitude, std::int32_t elevationMm,
                      std::uint32_t offset, ForEachElement&& forEachElement, ElementLines lines) {
  out.Done(WriteAirportPlace(out.Room(kAirportRoom), latitude, longitude, elevationMm, offset));
  bool first = true;
  forEachElement([&](std::string_view caption, std::int32_t elementMm, std::uint32_t at) {
    out.Done(WriteElement(out.Room(kElementRoom + JsonStringRoom(caption.size())), caption,
                          elementMm, at, first, lines));
    first = false;
  });
  out.Done(WriteElementsEnd(out.Room(kElementRoom), first, lines));
}

}  // namespace qor::cli
