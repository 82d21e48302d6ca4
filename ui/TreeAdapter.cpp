#include "ui/TreeAdapter.h"

#include <algorithm>

#include "platform/Collation.h"
#include "ui/Controls.h"

namespace qor {

namespace {

constexpr int kOffsetRole = Qt::UserRole;

void SortByText(QList<QTreeWidgetItem*>& items) {
  std::stable_sort(items.begin(), items.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    return platform::CompareText(a->text(0).toStdString(), b->text(0).toStdString()) < 0;
  });
}

}  // namespace

void TreeAdapter::Clear() {
  ObjClear(tree_);
  qDeleteAll(airports_);
  airports_.clear();
  items_.clear();
}

AirportTree::Node TreeAdapter::AddNode(std::optional<Node> parent, const std::string& text) {
  auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(text)});
  if (parent) {
    items_[*parent]->addChild(item);
  } else {
    airports_.push_back(item);
  }
  items_.push_back(item);
  return items_.size() - 1;
}

void TreeAdapter::SetData(Node node, std::uint32_t data) {
  items_[node]->setData(0, kOffsetRole, data);
}

void TreeAdapter::Sort() {
  for (QTreeWidgetItem* airport : airports_) {
    QList<QTreeWidgetItem*> lines = airport->takeChildren();
    SortByText(lines);
    airport->addChildren(lines);
  }
  SortByText(airports_);
  tree_->setUpdatesEnabled(false);
  tree_->addTopLevelItems(airports_);
  tree_->setUpdatesEnabled(true);
  airports_.clear();
}

std::uint32_t TreeAdapter::DataOf(const QTreeWidgetItem* item) {
  return item->data(0, kOffsetRole).toUInt();
}

}  // namespace qor
