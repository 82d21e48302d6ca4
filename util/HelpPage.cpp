#include "util/HelpPage.h"

#include <optional>

#include "platform/File.h"
#include "util/Environment.h"
#include "util/FileUtil.h"

namespace qor {

namespace {

// The page named so beside the program, else in the installed tree's share/qorbgl.
std::optional<std::string> Find(const std::string& appFolder, const std::string& name) {
  const std::string beside = appFolder + name;
  if (platform::FileExists(beside)) return beside;
  // The folder above the program's own, as an installed tree has it ("/usr/" for "/usr/bin/").
  const std::string parent = ExtractFilePath(ExcludeBackslash(appFolder));
  if (!parent.empty()) {
    const std::string installed =
        parent + "share" + platform::kPathDelimiter + "qorbgl" + platform::kPathDelimiter + name;
    if (platform::FileExists(installed)) return installed;
  }
  return std::nullopt;
}

}  // namespace

std::string HelpPageName(lang::Language language) {
  if (language == lang::Language::kFrench) return "QORBgl.htm";
  return "QORBgl-" + std::string(lang::Code(language)) + ".htm";
}

std::string HelpPagePath(const std::string& appFolder, lang::Language language) {
  // The reader's own language wherever it lies; the French page only when no translation is
  // found, as a program copied without its translated pages still has help to show.
  if (auto page = Find(appFolder, HelpPageName(language))) return *page;
  const std::string french = HelpPageName(lang::Language::kFrench);
  if (auto page = Find(appFolder, french)) return *page;
  return appFolder + french;
}

std::string HelpPagePath() {
  return HelpPagePath(AppFolder(), lang::Current());
}

}  // namespace qor
