#pragma once
// Finds an installed Microsoft Flight Simulator from the keys its installer writes.

#include <string>

namespace qor {

class TFS {
 public:
  enum Version { kFS98 = 1, kFS2000 = 2, kFS2002 = 3, kFS2004 = 4 };

  // True when the simulator of that version is installed: folder is then its installation
  // folder, ending in the path delimiter. False, with folder empty, otherwise.
  static bool FindSimulatorPath(int version, std::string& folder);
};

}  // namespace qor
