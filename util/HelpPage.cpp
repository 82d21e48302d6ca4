#include "util/HelpPage.h"

#include "platform/File.h"
#include "util/Environment.h"
#include "util/FileUtil.h"

namespace qor {

namespace {
constexpr const char* kHelpPage = "QORBgl.htm";
}  // namespace

std::string HelpPagePath(const std::string& appFolder) {
  const std::string beside = appFolder + kHelpPage;
  if (platform::FileExists(beside)) return beside;
  // The folder above the program's own, as an installed tree has it ("/usr/" for "/usr/bin/").
  const std::string parent = ExtractFilePath(ExcludeBackslash(appFolder));
  if (!parent.empty()) {
    const std::string installed = parent + "share" + platform::kPathDelimiter + "qorbgl" +
                                  platform::kPathDelimiter + kHelpPage;
    if (platform::FileExists(installed)) return installed;
  }
  return beside;
}

std::string HelpPagePath() {
  return HelpPagePath(AppFolder());
}

}  // namespace qor
