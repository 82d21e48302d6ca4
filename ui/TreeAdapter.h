#pragma once
// The window's tree view as the airport listing sees it.

#include <QTreeWidget>
#include <string>
#include <vector>

#include "bgl/AirportTree.h"

namespace qor {

class TreeAdapter : public AirportTree {
 public:
  explicit TreeAdapter(QTreeWidget* tree) : tree_(tree) {}
  ~TreeAdapter() override;
  TreeAdapter(const TreeAdapter&) = delete;
  TreeAdapter& operator=(const TreeAdapter&) = delete;

  void Clear() override;
  Node AddNode(std::optional<Node> parent, std::string_view text) override;
  void SetData(Node node, std::uint32_t data) override;
  // Sorts at every level with the program's comparison, then shows the airports.
  void Sort() override;

  // The offset attached to a line.
  static std::uint32_t DataOf(const QTreeWidgetItem* item);

 private:
  static constexpr Node kNoParent = static_cast<Node>(-1);
  struct Line {
    QTreeWidgetItem* item;
    QString text;  // shared with the item
    Node parent;
    std::size_t keyAt;  // top-level lines only
    std::size_t keyLength;
  };
  void DropPending();

  QTreeWidget* tree_;
  // The lines are made apart from the tree and put in by Sort. The airports, many, sort by
  // collation keys made once each; an airport's few lines compare their texts directly.
  std::vector<Line> lines_;
  std::string keys_;
};

}  // namespace qor
