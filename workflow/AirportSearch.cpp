#include "workflow/AirportSearch.h"

#include "bgl/Bgl.h"
#include "util/Environment.h"
#include "util/FileUtil.h"

namespace qor {

AirportSearch::AirportSearch(std::string folder, std::vector<std::string> entries, std::string name)
    : folder_(IncludeBackslash(folder)), entries_(std::move(entries)), name_(std::move(name)) {}

bool AirportSearch::Step(Clock::time_point until) {
  while (next_ < entries_.size()) {
    const TBGL candidate(folder_ + entries_[next_], DesktopFolder());
    if (candidate.FindAirport(name_)) kept_.push_back(entries_[next_]);
    ++next_;
    if (Clock::now() >= until) break;
  }
  return next_ == entries_.size();
}

std::vector<std::string> AirportSearch::ListSoFar() const {
  std::vector<std::string> list = kept_;
  list.insert(list.end(), entries_.begin() + static_cast<std::ptrdiff_t>(next_), entries_.end());
  return list;
}

}  // namespace qor
