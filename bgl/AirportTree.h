#pragma once
// What the airport listing needs of a tree: the window adapts its tree view to it, the command
// line and the tests adapt plain data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

class AirportTree {
 public:
  using Node = std::size_t;

  virtual ~AirportTree() = default;
  virtual void Clear() = 0;
  // Adds a node as the last child of parent, or at the top level without one. The tree keeps
  // its own copy of the text.
  virtual Node AddNode(std::optional<Node> parent, std::string_view text) = 0;
  virtual void SetData(Node node, std::uint32_t data) = 0;
  // Sorts the nodes by their texts at every level, with platform::CompareText.
  virtual void Sort() = 0;
};

}  // namespace qor
