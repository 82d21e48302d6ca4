#include "ui/TreeAdapter.h"

#include <algorithm>
#include <cstring>

#include "platform/Collation.h"
#include "ui/Controls.h"

namespace qor {

namespace {

constexpr int kOffsetRole = Qt::UserRole;

std::u16string_view Utf16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

TreeAdapter::~TreeAdapter() {
  DropPending();
}

void TreeAdapter::DropPending() {
  for (const Line& line : lines_) delete line.item;
  lines_.clear();
  keys_.clear();
}

void TreeAdapter::Clear() {
  ObjClear(tree_);
  DropPending();
}

AirportTree::Node TreeAdapter::AddNode(std::optional<Node> parent, std::string_view text) {
  Line line{nullptr, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
            parent ? *parent : kNoParent, keys_.size(), 0};
  if (!parent) line.keyLength = platform::AppendSortKey(Utf16(line.text), keys_);
  line.item = new QTreeWidgetItem(QStringList{line.text});
  lines_.push_back(std::move(line));
  return lines_.size() - 1;
}

void TreeAdapter::SetData(Node node, std::uint32_t data) {
  lines_[node].item->setData(0, kOffsetRole, data);
}

void TreeAdapter::Sort() {
  const auto byText = [this](Node a, Node b) {
    return platform::CompareText(Utf16(lines_[a].text), Utf16(lines_[b].text)) < 0;
  };
  const auto byKey = [this](Node a, Node b) {
    const Line& x = lines_[a];
    const Line& y = lines_[b];
    const int c = std::memcmp(keys_.data() + x.keyAt, keys_.data() + y.keyAt,
                              std::min(x.keyLength, y.keyLength));
    return c != 0 ? c < 0 : x.keyLength < y.keyLength;
  };
  // Each airport's lines, gathered by parent in the order they were added.
  std::vector<Node> airports;
  std::vector<std::size_t> firstChild(lines_.size() + 1, 0);
  for (Node n = 0; n < lines_.size(); ++n) {
    if (lines_[n].parent == kNoParent) {
      airports.push_back(n);
    } else {
      ++firstChild[lines_[n].parent + 1];
    }
  }
  for (std::size_t n = 0; n < lines_.size(); ++n) firstChild[n + 1] += firstChild[n];
  std::vector<Node> children(firstChild.back());
  std::vector<std::size_t> next(firstChild.begin(), firstChild.end() - 1);
  for (Node n = 0; n < lines_.size(); ++n) {
    if (lines_[n].parent != kNoParent) children[next[lines_[n].parent]++] = n;
  }

  for (Node n = 0; n < lines_.size(); ++n) {
    const auto begin = children.begin() + static_cast<std::ptrdiff_t>(firstChild[n]);
    const auto end = children.begin() + static_cast<std::ptrdiff_t>(firstChild[n + 1]);
    if (begin == end) continue;
    std::stable_sort(begin, end, byText);
    QList<QTreeWidgetItem*> items;
    items.reserve(end - begin);
    for (auto it = begin; it != end; ++it) items.push_back(lines_[*it].item);
    lines_[n].item->addChildren(items);
  }
  std::stable_sort(airports.begin(), airports.end(), byKey);
  QList<QTreeWidgetItem*> top;
  top.reserve(static_cast<qsizetype>(airports.size()));
  for (const Node n : airports) top.push_back(lines_[n].item);
  // From here the tree owns the items.
  lines_.clear();
  keys_.clear();
  keys_.shrink_to_fit();
  tree_->setUpdatesEnabled(false);
  tree_->addTopLevelItems(top);
  tree_->setUpdatesEnabled(true);
}

std::uint32_t TreeAdapter::DataOf(const QTreeWidgetItem* item) {
  return item->data(0, kOffsetRole).toUInt();
}

}  // namespace qor
