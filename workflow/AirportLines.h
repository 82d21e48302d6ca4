#pragma once
// The lines of the airport tree as both windows, the print-out and the command line show them:
// the airports sorted, each followed by its runways and starts, sorted. The texts lie side by
// side in one buffer and the lines in display order in one array: a large file has hundreds of
// thousands of them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bgl/AirportTree.h"

namespace qor {

class TBGL;

class AirportLines : public AirportTree {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // The lines of a file's airports (TBGL::FillTree).
  void Fill(const TBGL& bgl);

  // AirportTree, on two levels (airports, and their elements): the nodes are numbered in the
  // order they are added until Sort puts them in display order.
  void Clear() override;
  Node AddNode(std::optional<Node> parent, std::string_view text) override;
  void SetData(Node node, std::uint32_t data) override;
  void Sort() override;

  // After Sort, line by line in display order.
  std::size_t Size() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  std::string_view Text(std::size_t line) const {
    return std::string_view(text_).substr(lines_[line].textAt, lines_[line].textLength);
  }
  // The file offset of the line's 4-byte elevation field.
  std::uint32_t Offset(std::size_t line) const { return lines_[line].offset; }
  // The airport line of an element line; kNone for an airport.
  std::size_t Parent(std::size_t line) const { return lines_[line].parent; }
  bool IsAirport(std::size_t line) const { return lines_[line].parent == kNone; }
  // An airport's element lines are the ones right after it.
  std::size_t ElementCount(std::size_t line) const { return lines_[line].elements; }
  std::size_t AirportCount() const { return airports_; }

  void SetText(std::size_t line, std::string_view text);

 private:
  struct Line {
    std::size_t textAt;
    std::uint32_t textLength;
    std::uint32_t offset;
    std::size_t parent;
    std::size_t elements;  // an airport's element lines
  };

  std::vector<Line> lines_;
  std::string text_;
  std::size_t airports_ = 0;
};

}  // namespace qor
