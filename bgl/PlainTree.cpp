#include "bgl/PlainTree.h"

#include <algorithm>

#include "platform/Collation.h"

namespace qor {

void PlainTree::Clear() {
  items_.clear();
  top_.clear();
}

AirportTree::Node PlainTree::AddNode(std::optional<Node> parent, std::string_view text) {
  const Node node = items_.size();
  items_.push_back(Item{std::string(text), 0, {}});
  (parent ? items_[*parent].children : top_).push_back(node);
  return node;
}

void PlainTree::Sort() {
  auto byText = [this](Node a, Node b) {
    return platform::CompareText(items_[a].text, items_[b].text) < 0;
  };
  std::stable_sort(top_.begin(), top_.end(), byText);
  for (auto& item : items_) std::stable_sort(item.children.begin(), item.children.end(), byText);
}

std::vector<PlainTree::Line> PlainTree::Lines() const {
  std::vector<Line> lines;
  lines.reserve(items_.size());
  auto visit = [&](auto&& self, Node node, int depth) -> void {
    lines.push_back(Line{depth, &items_[node]});
    for (const Node child : items_[node].children) self(self, child, depth + 1);
  };
  for (const Node node : top_) visit(visit, node, 0);
  return lines;
}

}  // namespace qor
