#include "ui/LinesTree.h"

#include "ui/Controls.h"
#include "workflow/AirportLines.h"

namespace qor {

namespace {

// A line of the tree with its line number beside its text: as item data, each number would take
// a piece of memory of its own, and a large file has hundreds of thousands of lines.
class LineItem : public QTreeWidgetItem {
 public:
  static constexpr int kType = QTreeWidgetItem::UserType + 1;
  LineItem(const QString& text, std::size_t line) : QTreeWidgetItem(kType), line(line) {
    setText(0, text);
  }
  std::size_t line;
};

QString Text(const AirportLines& lines, std::size_t line) {
  const std::string_view text = lines.Text(line);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void LinesTree::Show(const AirportLines& lines) {
  ObjClear(tree_);
  lines_ = &lines;
  items_.assign(lines.Size(), nullptr);
  QList<QTreeWidgetItem*> top;
  top.reserve(static_cast<qsizetype>(lines.AirportCount()));
  QList<QTreeWidgetItem*> elements;  // one airport's, the list kept from one to the next
  for (std::size_t line = 0; line < lines.Size(); ++line) {
    auto* item = new LineItem(Text(lines, line), line);
    items_[line] = item;
    if (!lines.IsAirport(line)) continue;
    top.push_back(item);
    elements.clear();
    const std::size_t count = lines.ElementCount(line);
    for (std::size_t e = line + 1; e <= line + count; ++e) {
      items_[e] = new LineItem(Text(lines, e), e);
      elements.push_back(items_[e]);
    }
    item->addChildren(elements);
    line += count;
  }
  tree_->setUpdatesEnabled(false);
  tree_->addTopLevelItems(top);
  tree_->setUpdatesEnabled(true);
}

void LinesTree::Changed(std::size_t line) {
  if (lines_ != nullptr && line < items_.size()) items_[line]->setText(0, Text(*lines_, line));
}

void LinesTree::Expand(std::size_t line) {
  if (line < items_.size()) items_[line]->setExpanded(true);
}

std::optional<std::size_t> LinesTree::LineOf(const QTreeWidgetItem* item) {
  if (item == nullptr || item->type() != LineItem::kType) return std::nullopt;
  return static_cast<const LineItem*>(item)->line;
}

}  // namespace qor
