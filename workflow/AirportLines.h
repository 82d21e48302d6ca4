#pragma once
// The lines of the airport tree as both windows, the print-out and the command line show them:
// the airports sorted, each followed by its runways and starts, sorted. A line is drawn from
// its elevation entry whenever it is asked for, so it always shows what the open file holds
// (a rewrite updates the entry), and a file of hundreds of thousands of lines keeps no text of
// them: the lines are one array of entries in display order.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory_resource>
#include <string>
#include <vector>

#include "bgl/Records.h"
#include "platform/Memory.h"

namespace qor {

class TBGL;
class TAirport1Rec;

// Where an airport is and what it is called on charts, as the windows show it beside its
// name: "OACI LFPG, 49,0097° N 2,5478° E" in the regional decimal symbol.
std::string AirportPlace(const TAirport1Rec& airport);

class AirportLines {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // The lines of a file's airports, sorted as the tree shows them: the airports by their lines,
  // each airport's elements by theirs, with the program's comparison of texts (equal lines keep
  // the file's order). The lines point into bgl's records: Clear them before bgl goes.
  void Fill(const TBGL& bgl);
  void Clear();
  // Visits the same lines in the same order, with whether each is an airport's, keeping none:
  // for one who writes them all out once.
  static void ForEach(const TBGL& bgl, const std::function<void(const TElevation&, bool)>& visit);

  std::size_t Size() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  std::size_t AirportCount() const { return airports_; }

  // The line's text, in the regional format of the moment.
  std::string Text(std::size_t line) const;
  // The elevation entry behind a line: its caption, its elevation and the offset of its field.
  const TElevation& Entry(std::size_t line) const { return *lines_[line].entry; }
  std::uint32_t Offset(std::size_t line) const { return lines_[line].entry->Offset; }
  // The airport line of an element line; kNone for an airport.
  std::size_t Parent(std::size_t line) const {
    return lines_[line].parent == kNoParent ? kNone : lines_[line].parent;
  }
  bool IsAirport(std::size_t line) const { return lines_[line].parent == kNoParent; }
  // An airport's element lines are the ones right after it.
  std::size_t ElementCount(std::size_t line) const { return lines_[line].elements; }

 private:
  static constexpr std::uint32_t kNoParent = 0xFFFFFFFF;
  struct Line {
    const TElevation* entry;
    std::uint32_t parent;    // the airport's line, for an element
    std::uint32_t elements;  // an airport's element lines
  };

  std::pmr::vector<Line> lines_{&platform::LargeBlocks()};
  std::size_t airports_ = 0;
};

}  // namespace qor
