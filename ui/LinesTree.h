#pragma once
// The window's tree view showing the workflow's airport lines: one item per line, each knowing
// its line.

#include <QTreeWidget>
#include <cstddef>
#include <optional>
#include <vector>

namespace qor {

class AirportLines;

class LinesTree {
 public:
  explicit LinesTree(QTreeWidget* tree) : tree_(tree) {}

  // The tree shows lines, which it reads again for Changed.
  void Show(const AirportLines& lines);
  void Changed(std::size_t line);
  void Expand(std::size_t line);
  // The line an item of the tree shows.
  static std::optional<std::size_t> LineOf(const QTreeWidgetItem* item);

 private:
  QTreeWidget* tree_;
  const AirportLines* lines_ = nullptr;
  std::vector<QTreeWidgetItem*> items_;  // by line
};

}  // namespace qor
