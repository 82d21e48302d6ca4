#include "workflow/AirportLines.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "bgl/Bgl.h"
#include "platform/Collation.h"

namespace qor {

namespace {

using Nodes = std::vector<AirportTree::Node>;

// Sorts the few lines of one airport in place, keeping equal ones in their order, without the
// memory a general stable sort takes for each call. A line already after the one before it
// costs one comparison; another finds its place by halving, as comparisons are the cost.
template <typename Less>
void InsertionSort(Nodes::iterator begin, Nodes::iterator end, Less less) {
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

void AirportLines::Fill(const TBGL& bgl) {
  bgl.FillTree(*this);
}

void AirportLines::Clear() {
  lines_.clear();
  text_.clear();
  airports_ = 0;
}

AirportTree::Node AirportLines::AddNode(std::optional<Node> parent, std::string_view text) {
  // A line longer than 4 GB cannot come from a record; it is cut rather than wrapped.
  const auto length = static_cast<std::uint32_t>(
      std::min<std::size_t>(text.size(), std::numeric_limits<std::uint32_t>::max()));
  lines_.push_back(Line{text_.size(), length, 0, parent ? *parent : kNone, 0});
  text_.append(text.substr(0, length));
  if (!parent) ++airports_;
  return lines_.size() - 1;
}

void AirportLines::SetData(Node node, std::uint32_t data) {
  lines_[node].offset = data;
}

void AirportLines::SetText(std::size_t line, std::string_view text) {
  Line& l = lines_[line];
  if (text.size() <= l.textLength) {
    text_.replace(l.textAt, text.size(), text);
  } else {
    l.textAt = text_.size();
    text_.append(text);
  }
  l.textLength = static_cast<std::uint32_t>(text.size());
}

void AirportLines::Sort() {
  // Each airport's lines, gathered by parent in the order they were added.
  Nodes airports;
  airports.reserve(airports_);
  std::vector<std::size_t> firstChild(lines_.size() + 1, 0);
  for (Node n = 0; n < lines_.size(); ++n) {
    if (lines_[n].parent == kNone) {
      airports.push_back(n);
    } else {
      ++firstChild[lines_[n].parent + 1];
    }
  }
  for (std::size_t n = 0; n < lines_.size(); ++n) firstChild[n + 1] += firstChild[n];
  Nodes children(firstChild.back());
  {
    std::vector<std::size_t> next(firstChild.begin(), firstChild.end() - 1);
    for (Node n = 0; n < lines_.size(); ++n) {
      if (lines_[n].parent != kNone) children[next[lines_[n].parent]++] = n;
    }
  }

  // The airports, many, sort by collation keys made once each; an airport's few lines compare
  // their texts directly.
  std::string keys;
  std::vector<std::pair<std::size_t, std::size_t>> keyOf(lines_.size());
  for (const Node n : airports) {
    const std::size_t at = keys.size();
    keyOf[n] = {at, platform::AppendSortKey(Text(n), keys)};
  }
  const auto byKey = [&](Node a, Node b) {
    const auto [x, xl] = keyOf[a];
    const auto [y, yl] = keyOf[b];
    const int c = std::memcmp(keys.data() + x, keys.data() + y, std::min(xl, yl));
    return c != 0 ? c < 0 : xl < yl;
  };
  std::stable_sort(airports.begin(), airports.end(), byKey);
  const auto byText = [this](Node a, Node b) {
    return platform::CompareText(Text(a), Text(b)) < 0;
  };

  std::vector<Line> sorted;
  sorted.reserve(lines_.size());
  for (const Node airport : airports) {
    const auto begin = children.begin() + static_cast<std::ptrdiff_t>(firstChild[airport]);
    const auto end = children.begin() + static_cast<std::ptrdiff_t>(firstChild[airport + 1]);
    if (end - begin <= kInsertionSortLimit) {
      InsertionSort(begin, end, byText);
    } else {
      std::stable_sort(begin, end, byText);
    }
    const std::size_t at = sorted.size();
    sorted.push_back(lines_[airport]);
    sorted.back().elements = static_cast<std::size_t>(end - begin);
    for (auto it = begin; it != end; ++it) {
      sorted.push_back(lines_[*it]);
      sorted.back().parent = at;
    }
  }
  lines_ = std::move(sorted);
}

}  // namespace qor
