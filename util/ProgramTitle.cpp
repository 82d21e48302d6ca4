#include "util/ProgramTitle.h"

#include <filesystem>
#include <system_error>

#include "platform/Process.h"
#include "util/Environment.h"
#include "util/NumberFormat.h"
#include "util/Version.h"

namespace qor {

FileVersion ReadFileVersion(const std::string& path) {
  // No version resource here: the program's own file carries the version it was built with.
  const std::string self = platform::ProgramFilePath();
  if (path.empty() || self.empty()) return {};
  std::error_code ec;
  if (!std::filesystem::equivalent(path, self, ec) || ec) return {};
  return {kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild};
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
