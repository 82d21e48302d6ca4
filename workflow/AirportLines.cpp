#include "workflow/AirportLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// Degrees with four decimals (about 10 m), without sign, in the regional decimal symbol.
std::string Degrees(double degrees) {
  char digits[32];
  const auto end =
      std::to_chars(digits, digits + sizeof digits, std::fabs(degrees), std::chars_format::fixed, 4)
          .ptr;
  std::string text(digits, end);
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, CurrentNumberSymbols().decimal);
  return text + "°";
}

}  // namespace

std::string AirportPlace(const TAirport1Rec& airport) {
  const std::string icao = airport.Icao();
  const double north = airport.Latitude();
  const double east = airport.Longitude();
  return (icao.empty() ? std::string("sans indicatif OACI") : "OACI " + icao) + ", " +
         Degrees(north) + (north < 0 ? " S " : " N ") + Degrees(east) + (east < 0 ? " O" : " E");
}

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
  const platform::NumberSymbols& symbols = CurrentNumberSymbols();
  TreeLineWriter writer(symbols);

  // One pass over the airports in file order, where their records lie side by side in memory:
  // each airport's collation key, made once, and its element lines sorted. An airport's few
  // lines compare their texts directly, drawn once each into a buffer kept from one to the next.
  std::string keys;
  keys.reserve(airports.size() * 64);
  struct Airport {
    const TElevation* entry;
    std::size_t keyAt, keyLength;
    std::uint32_t firstElement, elements;
  };
  std::vector<Airport> found(airports.size());
  std::vector<const TElevation*> sortedElements;
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
  for (std::size_t i = 0; i < airports.size(); ++i) {
    const std::span<const TElevation> entries = airports[i]->Elevations;
    Airport& airport = found[i];
    airport.entry = &entries[0];
    airport.keyAt = keys.size();
    airport.keyLength = platform::AppendSortKey(writer.Line(entries[0]), keys);
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
    airport.firstElement = static_cast<std::uint32_t>(sortedElements.size());
    airport.elements = static_cast<std::uint32_t>(elements.size());
    for (const Element& element : elements) sortedElements.push_back(element.entry);
  }

  // The airports in the order of their keys, each followed by its elements.
  std::vector<std::uint32_t> order(airports.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const Airport& x = found[a];
    const Airport& y = found[b];
    const int c = std::memcmp(keys.data() + x.keyAt, keys.data() + y.keyAt,
                              std::min(x.keyLength, y.keyLength));
    return c != 0 ? c < 0 : x.keyLength < y.keyLength;
  });
  lines_.reserve(airports.size() + sortedElements.size());
  for (const std::uint32_t index : order) {
    const Airport& airport = found[index];
    const auto at = static_cast<std::uint32_t>(lines_.size());
    lines_.push_back(Line{airport.entry, kNoParent, airport.elements});
    for (std::uint32_t e = 0; e < airport.elements; ++e) {
      lines_.push_back(Line{sortedElements[airport.firstElement + e], at, 0});
    }
  }
  airports_ = airports.size();
}

}  // namespace qor
