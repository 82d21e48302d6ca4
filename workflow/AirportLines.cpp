#include "workflow/AirportLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <thread>
#include <utility>

#include "bgl/Bgl.h"
#include "bgl/Listing.h"
#include "lang/Tr.h"
#include "platform/Collation.h"
#include "util/FitText.h"
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
  return (icao.empty() ? Tr("sans indicatif OACI") : Tr("OACI %1", {icao})) + ", " +
         (north < 0 ? Tr("%1 S", {Degrees(north)}) : Tr("%1 N", {Degrees(north)})) + " " +
         (east < 0 ? Tr("%1 O", {Degrees(east)}) : Tr("%1 E", {Degrees(east)}));
}

void AirportLines::Clear() {
  lines_.clear();
  airports_ = 0;
}

std::string AirportLines::Text(std::size_t line) const {
  TreeLineWriter writer(CurrentNumberSymbols());
  return std::string(writer.Line(*lines_[line].entry));
}

namespace {

// The keys of element labels, made once for each caption: an airport's runways and starts
// take their captions from a few hundred texts of the library's tables, found again by where
// their letters lie.
class LabelKeys {
 public:
  // The letters' part of the key of the caption's label, kept as long as this object.
  std::string_view Of(std::string_view caption) {
    for (std::size_t i = Home(caption);; i = (i + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[i];
      if (slot.key == nullptr) return Add(slot, caption);
      if (slot.caption.data() == caption.data() && slot.caption.size() == caption.size()) {
        return *slot.key;
      }
    }
  }

 private:
  struct Slot {
    std::string_view caption;
    const std::string* key = nullptr;
  };

  // Where a caption's search begins: its letters' address, mixed.
  std::size_t Home(std::string_view caption) const {
    const std::uint64_t at = reinterpret_cast<std::uintptr_t>(caption.data());
    return (at * 0x9E3779B97F4A7C15u >> 32 ^ caption.size()) & (slots_.size() - 1);
  }

  std::string_view Add(Slot& slot, std::string_view caption) {
    label_.clear();
    AppendFitStr(label_, caption, kLabelWidth);
    std::string& key = keys_.emplace_back();
    platform::AppendSortKey(label_, key);
    key.resize(KeyLetters(key).size());
    slot = Slot{caption, &key};
    if (keys_.size() * 2 > slots_.size()) Grow();
    return key;
  }

  // Twice the slots, so that a search stays short.
  void Grow() {
    std::vector<Slot> filled(slots_.size() * 2);
    filled.swap(slots_);
    for (const Slot& slot : filled) {
      if (slot.key == nullptr) continue;
      std::size_t i = Home(slot.caption);
      while (slots_[i].key != nullptr) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_ = std::vector<Slot>(1024);
  std::deque<std::string> keys_;  // never moved: the elements being sorted point into them
  std::string label_;
};

struct Airport {
  KeyPrefix prefix;  // of its line's key
  const TElevation* entry;
  std::uint32_t firstElement, elements;  // its elements' places in the sorted elements
  std::uint32_t textAt, textLength;      // its line, among the airports' texts
};

// The order of the airports' lines: by their key prefixes, and where those are equal, by the
// lines themselves, equal lines in file order (the order of their texts), so that a sort in
// place, without the memory of a stable one, keeps it.
struct AirportOrder {
  std::string_view texts;
  bool operator()(const Airport& a, const Airport& b) const {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    const int c = platform::CompareText(texts.substr(a.textAt, a.textLength),
                                        texts.substr(b.textAt, b.textLength));
    return c != 0 ? c < 0 : a.textAt < b.textAt;
  }
};

// What one worker makes of a run of airports, in file order, where their records lie side by
// side in memory: each airport's key prefix and its line, drawn here rather than where the sort
// asks, scattered over the records; its element lines sorted in their places; then the run's
// airports in their order. Elements are first ordered by the letters of their labels, known
// once per caption; only lines whose letters leave the order to their numbers (equal labels,
// mostly) compare their whole texts.
class AirportPass {
 public:
  explicit AirportPass(const platform::NumberSymbols& symbols) : left_(symbols), right_(symbols) {}

  void Run(std::span<const TAirport1Rec* const> airports, std::span<Airport> found,
           const TElevation** sorted) {
    texts.reserve(airports.size() * (kLabelWidth + kElevationWidth + 8));
    const auto before = [this](const Element& a, const Element& b) {
      const int letters = CompareLetters(a.letters, b.letters);
      if (letters != 0) return letters < 0;
      return platform::CompareText(left_.Line(*a.entry), right_.Line(*b.entry)) < 0;
    };
    for (std::size_t i = 0; i < airports.size(); ++i) {
      const std::span<const TElevation> entries = airports[i]->Elevations;
      Airport& airport = found[i];
      const std::string_view text = left_.Line(entries[0]);
      airport.prefix = platform::SortKeyPrefix(text);
      airport.textAt = static_cast<std::uint32_t>(texts.size());
      airport.textLength = static_cast<std::uint32_t>(text.size());
      texts += text;
      elements_.clear();
      for (std::size_t e = 1; e < entries.size(); ++e) {
        elements_.push_back(Element{&entries[e], labelKeys_.Of(entries[e].Caption)});
      }
      if (elements_.size() <= kInsertionSortLimit) {
        InsertionSort(elements_.begin(), elements_.end(), before);
      } else {
        std::stable_sort(elements_.begin(), elements_.end(), before);
      }
      const TElevation** place = sorted + airport.firstElement;
      for (const Element& element : elements_) *place++ = element.entry;
    }
    std::sort(found.begin(), found.end(), AirportOrder{texts});
  }

  std::pmr::string texts{&platform::LargeBlocks()};  // the airports' lines, one after the other

 private:
  struct Element {
    const TElevation* entry;
    std::string_view letters;  // of its label's key
  };
  // Two writers, so that two lines can be drawn side by side for a comparison.
  TreeLineWriter left_;
  TreeLineWriter right_;
  LabelKeys labelKeys_;
  std::vector<Element> elements_;
};

// A file of many airports shares them out among the processor's cores: each airport's work is
// its own, and weighing texts is most of it.
constexpr std::size_t kAirportsPerWorker = 4096;
constexpr unsigned kMostWorkers = 4;

unsigned Workers(std::size_t airports) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(
      std::clamp<std::size_t>(airports / kAirportsPerWorker, 1, std::min(cores, kMostWorkers)));
}

// The airports of a file in the tree's order, each with its elements in theirs.
struct SortedTree {
  std::pmr::vector<Airport> airports{&platform::LargeBlocks()};
  std::pmr::vector<const TElevation*> elements{&platform::LargeBlocks()};
};

SortedTree Sort(const TBGL& bgl) {
  const std::vector<const TAirport1Rec*> airports = bgl.Airports();
  const platform::NumberSymbols& symbols = CurrentNumberSymbols();

  // Where each airport's sorted elements go.
  std::pmr::vector<Airport> found(airports.size(), &platform::LargeBlocks());
  std::size_t elementCount = 0;
  for (std::size_t i = 0; i < airports.size(); ++i) {
    found[i].entry = &airports[i]->Elevations[0];
    found[i].firstElement = static_cast<std::uint32_t>(elementCount);
    found[i].elements = static_cast<std::uint32_t>(airports[i]->Elevations.size() - 1);
    elementCount += found[i].elements;
  }
  std::pmr::vector<const TElevation*> sortedElements(elementCount, &platform::LargeBlocks());

  // Each worker a run of the airports; this thread the first. Their texts then follow one
  // another in file order, so that the order of the texts is the file's.
  const unsigned workers = Workers(airports.size());
  std::vector<std::unique_ptr<AirportPass>> passes;
  for (unsigned w = 0; w < workers; ++w) passes.push_back(std::make_unique<AirportPass>(symbols));
  const auto runOf = [&](unsigned w) {
    const std::size_t begin = airports.size() * w / workers;
    const std::size_t end = airports.size() * (w + 1) / workers;
    return std::pair{begin, end};
  };
  const auto run = [&](unsigned w) {
    const auto [begin, end] = runOf(w);
    passes[w]->Run(std::span(airports).subspan(begin, end - begin),
                   std::span(found).subspan(begin, end - begin), sortedElements.data());
  };
  {
    std::vector<std::exception_ptr> failures(workers);
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) {
      threads.emplace_back([&, w] {
        try {
          run(w);
        } catch (...) {
          failures[w] = std::current_exception();
        }
      });
    }
    try {
      run(0);
    } catch (...) {
      failures[0] = std::current_exception();
    }
    for (std::thread& thread : threads) thread.join();
    for (const std::exception_ptr& failure : failures) {
      if (failure) std::rethrow_exception(failure);
    }
  }
  // The runs, each in order, merged in order. Their texts join first, so that a text's place
  // stays the order of the file.
  std::pmr::string& texts = passes[0]->texts;
  for (unsigned w = 1; w < workers; ++w) {
    const auto shift = static_cast<std::uint32_t>(texts.size());
    const auto [begin, end] = runOf(w);
    for (std::size_t i = begin; i < end; ++i) found[i].textAt += shift;
    texts += passes[w]->texts;
  }
  for (unsigned w = 1; w < workers; ++w) {
    const auto [begin, end] = runOf(w);
    std::inplace_merge(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(begin),
                       found.begin() + static_cast<std::ptrdiff_t>(end), AirportOrder{texts});
  }
  SortedTree tree;
  tree.airports = std::move(found);
  tree.elements = std::move(sortedElements);
  return tree;
}

}  // namespace

void AirportLines::Fill(const TBGL& bgl) {
  Clear();
  const SortedTree tree = Sort(bgl);
  lines_.reserve(tree.airports.size() + tree.elements.size());
  for (const Airport& airport : tree.airports) {
    const auto at = static_cast<std::uint32_t>(lines_.size());
    lines_.push_back(Line{airport.entry, kNoParent, airport.elements});
    for (std::uint32_t e = 0; e < airport.elements; ++e) {
      lines_.push_back(Line{tree.elements[airport.firstElement + e], at, 0});
    }
  }
  airports_ = tree.airports.size();
}

void AirportLines::ForEach(const TBGL& bgl,
                           const std::function<void(const TElevation&, bool)>& visit) {
  const SortedTree tree = Sort(bgl);
  // The airports come scattered over the file's records: their entries are asked for some
  // airports ahead.
  constexpr std::size_t kAhead = 4;
  for (std::size_t a = 0; a < tree.airports.size(); ++a) {
#if defined(__GNUC__)
    if (a + kAhead < tree.airports.size()) __builtin_prefetch(tree.airports[a + kAhead].entry);
#endif
    const Airport& airport = tree.airports[a];
    visit(*airport.entry, true);
    for (std::uint32_t e = 0; e < airport.elements; ++e) {
      visit(*tree.elements[airport.firstElement + e], false);
    }
  }
}

}  // namespace qor
