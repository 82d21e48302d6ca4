#include "workflow/WindowSettings.h"

#include "platform/File.h"
#include "platform/Process.h"
#include "simfinder/QORFS.h"
#include "util/Evaluator.h"
#include "util/FileUtil.h"
#include "util/Settings.h"

namespace qor {

namespace {

int PositiveSetting(const char* name) {
  const std::int64_t value = StrToValue(ReadSetting(name)).AsInt64();
  return value > 0 && value < 1000000 ? static_cast<int>(value) : 0;
}

std::string StartFolder(const std::string& drive) {
  if (!drive.empty()) {
    const std::string saved = ReadSetting("Dir");
    if (!saved.empty() && platform::FolderExists(saved)) return IncludeBackslash(saved);
  }
  if (std::string fs9; TFS::FindSimulatorPath(TFS::kFS2004, fs9)) {
    const std::string scenery = IncludeBackslash(fs9) + "Scenery";
    if (platform::FolderExists(scenery)) return IncludeBackslash(scenery);
  }
  return platform::CurrentFolder();
}

}  // namespace

WindowSettings ReadWindowSettings() {
  WindowSettings s;
  s.drive = ReadSetting("Drive");
  s.folder = StartFolder(s.drive);
  const std::int64_t page = StrToValue(ReadSetting("Onglet")).AsInt64();
  s.page = page == 1 ? Page::Elevations : page == 2 ? Page::Library : Page::Help;
  s.filesWidth = PositiveSetting("sp0");
  s.dirHeight = PositiveSetting("sp1");
  return s;
}

void WriteWindowSettings(const WindowSettings& s) {
  WriteSetting("Drive", s.drive);
  WriteSetting("Dir", s.folder);
  WriteSetting("Onglet", std::to_string(static_cast<int>(s.page)));
  WriteSetting("sp0", std::to_string(s.filesWidth));
  WriteSetting("sp1", std::to_string(s.dirHeight));
}

}  // namespace qor
