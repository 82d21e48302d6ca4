#pragma once
// The simulator's scenery library as scenery.cfg in its main folder lists it: the areas, each
// a folder whose "scenery" subfolder holds BGL files, in the order the simulator loads them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qor::library {

struct Area {
  std::string section;  // "Area.012", as written
  std::string title;    // UTF-8 (the file is Windows-1252)
  std::string local;    // the folder as written: Local=, or Remote= when Local= is empty
  std::string folder;   // the same as a path of this system, ending in the path delimiter
  int layer = 0;
  bool active = true;
  std::size_t line = 0;  // of the section's header in scenery.cfg, from 1
};

struct SceneryConfig {
  std::string path;         // of scenery.cfg
  std::vector<Area> areas;  // in load order: layer ascending, then the order of the file
};

// The name of the file in the simulator's folder, found there in any letter case.
inline constexpr const char* kSceneryCfg = "scenery.cfg";

// Reads scenery.cfg of the simulator's folder simFolder. Raises Exception with a French
// message naming the file (and the line, for a line it cannot take) when the file is missing,
// cannot be read or is malformed.
SceneryConfig ReadSceneryConfig(const std::string& simFolder);

// The same from the file's bytes; path names the file in messages, simFolder is where
// relative folders start.
SceneryConfig ParseSceneryConfig(std::string_view bytes, const std::string& path,
                                 const std::string& simFolder);

// The area's folder as a path of this system: an absolute Windows path through the Wine
// prefix on Linux, a relative one under simFolder, each part found in any letter case.
std::string AreaFolder(const std::string& local, const std::string& simFolder);

}  // namespace qor::library
