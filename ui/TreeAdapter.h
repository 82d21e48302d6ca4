#pragma once
// The window's tree view as the airport listing sees it.

#include <QTreeWidget>
#include <vector>

#include "bgl/AirportTree.h"

namespace qor {

class TreeAdapter : public AirportTree {
 public:
  explicit TreeAdapter(QTreeWidget* tree) : tree_(tree) {}

  void Clear() override;
  Node AddNode(std::optional<Node> parent, const std::string& text) override;
  void SetData(Node node, std::uint32_t data) override;
  // Sorts at every level with the program's comparison, then shows the airports.
  void Sort() override;

  // The offset attached to a line.
  static std::uint32_t DataOf(const QTreeWidgetItem* item);

 private:
  QTreeWidget* tree_;
  std::vector<QTreeWidgetItem*> items_;
  QList<QTreeWidgetItem*> airports_;  // built apart from the tree, put in by Sort
};

}  // namespace qor
