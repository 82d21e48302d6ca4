#include "util/ProgramTitle.h"

#include "platform/FileOps.h"
#include "platform/Process.h"
#include "util/Environment.h"
#include "util/NumberFormat.h"
#include "util/Version.h"

namespace qor {

FileVersion BuiltVersion() {
  return {kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
}

std::string VersionText(const FileVersion& version) {
  return std::to_string(version.major) + '.' + std::to_string(version.minor) + '.' +
         std::to_string(version.release) + '.' + std::to_string(version.build);
}

FileVersion ReadFileVersion(const std::string& path) {
  if (path.empty()) return {};
  if (const auto numbers = platform::VersionResourceOf(path)) {
    return {(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
  }
  // Where files carry no version resource, the program's own file has the version it was
  // built with.
  const std::string self = platform::ProgramFilePath();
  if (self.empty() || !platform::IsSameFile(path, self)) return {};
  return BuiltVersion();
}

std::string ProgramTitle(int parts) {
  const std::string path = platform::ProgramFilePath();
  // Before the start-up has run, the name comes from the program file in the same way.
  const std::string name = ProgName().empty() ? SplitProgramPath(path).progName : ProgName();
  return ProgramTitle(parts, name, ReadFileVersion(path));
}

std::string ProgramTitle(int parts, std::string_view progName, const FileVersion& version) {
  const int numbers[] = {version.major, version.minor, version.release, version.build};
  const int count = parts < 1 ? 1 : parts > 4 ? 4 : parts;
  std::string title = "(";
  title += progName;
  title += " v";
  for (int i = 0; i < count; ++i) {
    if (i > 0) title += '.';
    title += FormatNumber(Variant::Integer(numbers[i]), ' ', true, 0, true, false);
  }
  title += ')';
  return title;
}

}  // namespace qor
