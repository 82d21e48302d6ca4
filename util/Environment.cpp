#include "util/Environment.h"

#include <mutex>

#include "platform/File.h"
#include "platform/Process.h"
#include "platform/ShellFolders.h"
#include "util/Evaluator.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"
#include "util/Settings.h"
#include "util/Variant.h"

namespace qor {

namespace {

struct Values {
  std::string progName;
  std::string appFolder;
  std::string desktopFolder;
};

Values& Current() {
  static Values values;
  return values;
}

}  // namespace

const std::string& ProgName() {
  return Current().progName;
}
const std::string& AppFolder() {
  return Current().appFolder;
}
const std::string& DesktopFolder() {
  return Current().desktopFolder;
}

void SetEnvironment(std::string progName, std::string appFolder, std::string desktopFolder) {
  Current() = Values{std::move(progName), std::move(appFolder), std::move(desktopFolder)};
}

ProgramPlace SplitProgramPath(const std::string& path) {
  ProgramPlace place;
  place.appFolder = ExtractFilePath(path);
  place.progName = ExtractFileName(path);
  if (StrEndsWith(place.progName, ".exe", false)) {
    place.progName.resize(place.progName.size() - 4);
  }
  if (place.appFolder.empty()) place.appFolder = std::string(1, platform::kPathDelimiter);
  return place;
}

std::int64_t AdvanceLaunchCounter(bool machine) {
  // Read back with the regional symbols it was written with.
  const std::int64_t count =
      1 +
      StrToValueFormatted(ReadProgSetting(machine, "Lancements"), CurrentNumberSymbols()).AsInt64();
  WriteProgSetting(machine, "Lancements",
                   FormatNumber(Variant::Int64(count), ' ', true, 0, true, false));
  return count;
}

void InitEnvironment() {
  static std::once_flag once;
  std::call_once(once, [] {
    ProgramPlace place = SplitProgramPath(platform::ProgramFilePath());
    SetEnvironment(std::move(place.progName), std::move(place.appFolder),
                   IncludeBackslash(platform::UserDesktopFolder()));
    MakeDir(platform::UserLocalAppDataFolder());  // a failure is of no consequence here
    RegReadStr(false, "\\Software\\QOR Soft\\Central", "Nom utilisateur");
    RegReadStr(false, "\\Software\\QOR Soft\\Central", "Initiales");
    AdvanceLaunchCounter(true);
    AdvanceLaunchCounter(false);
  });
}

}  // namespace qor
