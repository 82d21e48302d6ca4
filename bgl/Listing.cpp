#include "bgl/Listing.h"

#include <algorithm>

#include "bgl/Bgl.h"
#include "util/Format.h"

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

bool SameAirportName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
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
  const platform::NumberSymbols& symbols = CurrentNumberSymbols();
  std::string text;  // one buffer for every line
  ForEachAirport(*this, [&](const TAirport1Rec& airport) {
    AirportTree::Node airportNode = 0;
    for (std::size_t i = 0; i < airport.Elevations.size(); ++i) {
      const TElevation& entry = airport.Elevations[i];
      text.clear();
      AppendTreeLine(text, entry, symbols);
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
    found = SameAirportName(airport.Name, text);
    return !found;
  });
  return found;
}

}  // namespace qor
