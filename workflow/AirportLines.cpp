#include "workflow/AirportLines.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "bgl/Bgl.h"
#include "bgl/Listing.h"
#include "platform/Collation.h"
#include "util/NumberFormat.h"

namespace qor {

namespace {

// Sorts the few lines of one airport in place, keeping equal ones in their order, without the
// memory a general stable sort takes for each call. A line already after the one before it
// costs one comparison; another finds its place by halving, as comparisons are the cost.
template <typename It, typename Less>
void InsertionSort(It begin, It end, Less less) {
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

void AirportLines::Clear() {
  lines_.clear();
  airports_ = 0;
}

std::string AirportLines::Text(std::size_t line) const {
  TreeLineWriter writer(CurrentNumberSymbols());
  return std::string(writer.Line(*lines_[line].entry));
}

void AirportLines::Fill(const TBGL& bgl) {
  Clear();
  const std::vector<const TAirport1Rec*> airports = bgl.Airports();
  std::size_t total = 0;
  for (const TAirport1Rec* airport : airports) total += airport->Elevations.size();
  const platform::NumberSymbols& symbols = CurrentNumberSymbols();

  // The airports, many, sort by collation keys made once each.
  std::string keys;
  keys.reserve(airports.size() * 64);
  struct Key {
    std::size_t at, length;
  };
  std::vector<Key> keyOf(airports.size());
  {
    TreeLineWriter writer(symbols);
    for (std::size_t i = 0; i < airports.size(); ++i) {
      const std::size_t at = keys.size();
      keyOf[i] = {at, platform::AppendSortKey(writer.Line(airports[i]->Elevations[0]), keys)};
    }
  }
  std::vector<std::uint32_t> order(airports.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const Key& x = keyOf[a];
    const Key& y = keyOf[b];
    const int c = std::memcmp(keys.data() + x.at, keys.data() + y.at, std::min(x.length, y.length));
    return c != 0 ? c < 0 : x.length < y.length;
  });
  keys = std::string();

  // An airport's few lines compare their texts directly, drawn once each into a buffer kept
  // from one airport to the next.
  TreeLineWriter writer(symbols);
  std::string texts;
  struct Element {
    const TElevation* entry;
    std::size_t at, length;
  };
  std::vector<Element> elements;
  const auto byText = [&texts](const Element& a, const Element& b) {
    return platform::CompareText(std::string_view(texts).substr(a.at, a.length),
                                 std::string_view(texts).substr(b.at, b.length)) < 0;
  };
  lines_.reserve(total);
  for (const std::uint32_t index : order) {
    const std::span<const TElevation> entries = airports[index]->Elevations;
    const auto at = static_cast<std::uint32_t>(lines_.size());
    lines_.push_back(Line{&entries[0], kNoParent, static_cast<std::uint32_t>(entries.size() - 1)});
    texts.clear();
    elements.clear();
    for (std::size_t e = 1; e < entries.size(); ++e) {
      const std::string_view text = writer.Line(entries[e]);
      elements.push_back(Element{&entries[e], texts.size(), text.size()});
      texts += text;
    }
    if (elements.size() <= kInsertionSortLimit) {
      InsertionSort(elements.begin(), elements.end(), byText);
    } else {
      std::stable_sort(elements.begin(), elements.end(), byText);
    }
    for (const Element& element : elements) lines_.push_back(Line{element.entry, at, 0});
  }
  airports_ = airports.size();
}

}  // namespace qor
