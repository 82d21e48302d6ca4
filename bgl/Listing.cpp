#include "bgl/Listing.h"

#include <algorithm>
#include <cstring>

#include "bgl/Bgl.h"
#include "text/Utf8.h"
#include "util/FitText.h"
#include "util/NumberFormat.h"

namespace qor {

namespace {

// Every airport record of the airport-data sections, in directory and file order. Every record
// of those sections is an airport record: the subsection makes them so.
template <typename Visit>
void ForEachAirport(const TBGL& bgl, Visit&& visit) {
  for (const auto& section : bgl.Sections) {
    if (section->SectionType != TBGL::kSectionAirports) continue;
    for (const auto& sub : section->SubSections) {
      for (const auto& record : sub->Records) {
        if (!visit(static_cast<const TAirport1Rec&>(*record))) return;
      }
    }
  }
}

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace

void AppendTreeLine(std::string& out, const TElevation& entry,
                    const platform::NumberSymbols& symbols) {
  AppendFitStr(out, entry.Caption, kLabelWidth);
  AppendThousandths(out, entry.SignedAltitude(), kElevationWidth, symbols);
}

std::string TreeLine(const TElevation& entry, const platform::NumberSymbols& symbols) {
  std::string line;
  AppendTreeLine(line, entry, symbols);
  return line;
}

std::string TreeLine(const TElevation& entry) {
  return TreeLine(entry, CurrentNumberSymbols());
}

TreeLineWriter::TreeLineWriter(const platform::NumberSymbols& symbols)
    : symbols_(symbols),
      shortSymbols_(symbols.grouping.size() <= kShortSymbol &&
                    symbols.decimal.size() <= kShortSymbol),
      groupingChars_(CharCount(symbols.grouping)),
      decimalChars_(CharCount(symbols.decimal)) {
  if (!shortSymbols_) return;
  grouping_.size = symbols.grouping.size();
  std::copy(symbols.grouping.begin(), symbols.grouping.end(), grouping_.bytes);
  decimal_.size = symbols.decimal.size();
  std::copy(symbols.decimal.begin(), symbols.decimal.end(), decimal_.bytes);
}

std::string_view TreeLineWriter::Line(const TElevation& entry) {
  if (!shortSymbols_) return Other(entry);
  // The label: the caption's first characters, copied as they are counted (a stray
  // continuation byte first counts as one, the ones after a character belong to it), then
  // blanks. Blanks and symbols go in pieces of a fixed size, one store each, into the buffer's
  // spare room, and only their own length counts.
  const std::string_view caption = entry.Caption;
  std::size_t cut = 0;
  std::size_t chars = 0;
  for (; cut < caption.size(); ++cut) {
    const char c = caption[cut];
    if (cut == 0 || !IsContinuationByte(c)) {
      if (chars == kLabelWidth) break;
      ++chars;
    }
    if (cut == kLabelBytes) return Other(entry);
    line_[cut] = c;
  }
  char* p = line_ + cut;
  std::memset(p, ' ', kLabelWidth);
  p += kLabelWidth - chars;

  // The elevation in metres, grouped, with three decimals, right-justified.
  const std::int32_t millimetres = entry.SignedAltitude();
  const bool negative = millimetres < 0;
  const std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(millimetres)
                                           : static_cast<std::uint32_t>(millimetres);
  char digits[7];  // the whole metres, last first: at most 2 147 483
  std::size_t count = 0;
  for (std::uint32_t whole = magnitude / 1000; count == 0 || whole > 0; whole /= 10) {
    digits[count++] = static_cast<char>('0' + whole % 10);
  }
  const std::size_t groups = (count - 1) / 3;
  const std::size_t width =
      (negative ? 1 : 0) + count + groups * groupingChars_ + decimalChars_ + 3;
  std::memset(p, ' ', kElevationWidth);
  if (width < kElevationWidth) p += kElevationWidth - width;
  if (negative) *p++ = '-';
  for (std::size_t i = count; i-- > 0;) {
    *p++ = digits[i];
    if (i > 0 && i % 3 == 0) p = grouping_.CopyTo(p);
  }
  p = decimal_.CopyTo(p);
  const std::uint32_t fraction = magnitude % 1000;
  *p++ = static_cast<char>('0' + fraction / 100);
  *p++ = static_cast<char>('0' + fraction / 10 % 10);
  *p++ = static_cast<char>('0' + fraction % 10);
  return std::string_view(line_, static_cast<std::size_t>(p - line_));
}

std::string_view TreeLineWriter::Other(const TElevation& entry) {
  other_.clear();
  AppendTreeLine(other_, entry, symbols_);
  return other_;
}

bool SameAirportName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
}

bool NamesAirport(std::string_view text, std::string_view name, std::string_view icao) {
  return SameAirportName(name, text) || IsIdentOf(text, icao);
}

int TBGL::AirportCount() const {
  int count = 0;
  ForEachAirport(*this, [&](const TAirport1Rec&) {
    ++count;
    return true;
  });
  return count;
}

std::vector<const TAirport1Rec*> TBGL::Airports() const {
  std::vector<const TAirport1Rec*> airports;
  ForEachAirport(*this, [&](const TAirport1Rec& airport) {
    airports.push_back(&airport);
    return true;
  });
  return airports;
}

void TBGL::FillTree(AirportTree& tree) const {
  tree.Clear();
  TreeLineWriter lines(CurrentNumberSymbols());
  ForEachAirport(*this, [&](const TAirport1Rec& airport) {
    AirportTree::Node airportNode = 0;
    for (std::size_t i = 0; i < airport.Elevations.size(); ++i) {
      const TElevation& entry = airport.Elevations[i];
      const std::string_view text = lines.Line(entry);
      const AirportTree::Node node =
          i == 0 ? tree.AddNode(std::nullopt, text) : tree.AddNode(airportNode, text);
      if (i == 0) airportNode = node;
      tree.SetData(node, entry.Offset);
    }
    return true;
  });
  tree.Sort();
}

bool TBGL::FindAirport(std::string_view text) const {
  bool found = false;
  ForEachAirport(*this, [&](const TAirport1Rec& airport) {
    found = NamesAirport(text, airport.Name, airport.Icao());
    return !found;
  });
  return found;
}

}  // namespace qor
