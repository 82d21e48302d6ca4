#include "workflow/LangStr.h"

namespace qor {

std::string LangStr(int /*id*/, const std::string& defaultText) {
  return defaultText;
}

}  // namespace qor
