#pragma once
// The airport tree as plain data, for the command line and the tests.

#include <vector>

#include "bgl/AirportTree.h"

namespace qor {

class PlainTree : public AirportTree {
 public:
  struct Item {
    std::string text;
    std::uint32_t data = 0;
    std::vector<Node> children;
  };

  void Clear() override;
  Node AddNode(std::optional<Node> parent, std::string_view text) override;
  void SetData(Node node, std::uint32_t data) override { items_[node].data = data; }
  void Sort() override;

  const std::vector<Node>& TopLevel() const { return top_; }
  const Item& At(Node node) const { return items_[node]; }

  // Every node in display order, each with its depth (0 for an airport).
  struct Line {
    int depth;
    const Item* item;
  };
  std::vector<Line> Lines() const;

 private:
  std::vector<Item> items_;
  std::vector<Node> top_;
};

}  // namespace qor
