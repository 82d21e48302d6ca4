#pragma once
// Which files of a list define an airport of a given name: each file is opened in turn and
// kept when one of its airports bears the name (letters a to z in any case). The search goes a
// step at a time, as the folder's listing does.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace qor {

class AirportSearch {
 public:
  using Clock = std::chrono::steady_clock;

  // Searches the files named entries (without folder) of folder for name, as typed.
  AirportSearch(std::string folder, std::vector<std::string> entries, std::string name);

  // Examines files until the time comes or every file is examined. True when all are. A file
  // that cannot be opened raises its error and stays the next to examine.
  bool Step(Clock::time_point until);
  // Examines every file.
  void All() { Step(Clock::time_point::max()); }

  // The files kept so far, in list order.
  const std::vector<std::string>& Kept() const { return kept_; }
  // The list as it stands when the search stops here: the files kept, then those not yet
  // examined (the one that could not be opened first among them).
  std::vector<std::string> ListSoFar() const;
  std::size_t Examined() const { return next_; }
  std::size_t Total() const { return entries_.size(); }
  const std::string& Name() const { return name_; }

 private:
  std::string folder_;
  std::vector<std::string> entries_;
  std::string name_;
  std::vector<std::string> kept_;
  std::size_t next_ = 0;
};

}  // namespace qor
