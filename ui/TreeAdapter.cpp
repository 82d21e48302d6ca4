#include "ui/TreeAdapter.h"

#include <algorithm>
#include <cstring>

#include "platform/Collation.h"
#include "ui/Controls.h"

namespace qor {

namespace {

constexpr int kOffsetRole = Qt::UserRole;

// A line of the tree with its offset beside its text: as item data, each offset would take a
// piece of memory of its own, and a large file has hundreds of thousands of lines.
class ElevationItem : public QTreeWidgetItem {
 public:
  static constexpr int kType = QTreeWidgetItem::UserType + 1;
  explicit ElevationItem(const QString& text) : QTreeWidgetItem(kType) { setText(0, text); }
  QVariant data(int column, int role) const override {
    if (column == 0 && role == kOffsetRole) return offset;
    return QTreeWidgetItem::data(column, role);
  }
  std::uint32_t offset = 0;
};

std::u16string_view Utf16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Sorts the few lines of one airport in place, keeping equal ones in their order, without the
// memory a general stable sort takes for each call. A line already after the one before it
// costs one comparison; another finds its place by halving, as comparisons are the cost.
template <typename Less>
void InsertionSort(std::vector<AirportTree::Node>::iterator begin,
                   std::vector<AirportTree::Node>::iterator end, Less less) {
  if (begin == end) return;
  for (auto i = begin + 1; i != end; ++i) {
    if (!less(*i, *(i - 1))) continue;
    const auto place = std::upper_bound(begin, i - 1, *i, less);
    std::rotate(place, i, i + 1);
  }
}

// Few lines per airport sort by insertion; an airport with many, by merging.
constexpr std::ptrdiff_t kInsertionSortLimit = 32;

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
  line.item = new ElevationItem(line.text);
  lines_.push_back(std::move(line));
  return lines_.size() - 1;
}

void TreeAdapter::SetData(Node node, std::uint32_t data) {
  static_cast<ElevationItem*>(lines_[node].item)->offset = data;
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

  QList<QTreeWidgetItem*> items;  // one airport's lines, the list kept from one to the next
  for (Node n = 0; n < lines_.size(); ++n) {
    const auto begin = children.begin() + static_cast<std::ptrdiff_t>(firstChild[n]);
    const auto end = children.begin() + static_cast<std::ptrdiff_t>(firstChild[n + 1]);
    if (begin == end) continue;
    if (end - begin <= kInsertionSortLimit) {
      InsertionSort(begin, end, byText);
    } else {
      std::stable_sort(begin, end, byText);
    }
    items.clear();
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
  if (item->type() == ElevationItem::kType) return static_cast<const ElevationItem*>(item)->offset;
  return item->data(0, kOffsetRole).toUInt();
}

}  // namespace qor
