#include "simfinder/QORFS.h"

#include <string_view>

#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/WinePaths.h"
#include "text/Trim.h"
#include "util/FileUtil.h"
#include "util/Settings.h"

namespace qor {

namespace {

struct Simulator {
  const char* key;
  const char* valueName;
  const char* programFile;
};

constexpr Simulator kSimulators[] = {
    {"\\Software\\Microsoft\\Microsoft Games\\Flight Simulator\\6.1", "Path", "FS98.exe"},
    {"\\Software\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0", "Path", "FS2000.exe"},
    {"\\Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0", "EXE Path", "FS2002.exe"},
    {"\\Software\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0", "EXE Path", "FS9.exe"},
};

bool Find(int version, std::string& folder) {
  if (version < TFS::kFS98 || version > TFS::kFS2004) return false;
  const Simulator& sim = kSimulators[version - 1];
  const std::string value(Trim(RegReadStr(true, sim.key, sim.valueName)));
  if (value.empty()) return false;
  folder = IncludeBackslash(platform::NativePathOfWindowsPath(value));
  if (folder.size() <= 1) return false;
  // Windows finds the program file in any letter case; so must we.
  const std::string program = platform::FindNameIgnoringCase(folder, sim.programFile);
  return !program.empty() && platform::FileExists(folder + program);
}

}  // namespace

bool TFS::FindSimulatorPath(int version, std::string& folder) {
  folder.clear();
  const bool found = Find(version, folder);
  if (!found) folder.clear();
  return found;
}

}  // namespace qor
