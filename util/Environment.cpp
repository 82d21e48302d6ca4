#include "util/Environment.h"

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

}  // namespace qor
