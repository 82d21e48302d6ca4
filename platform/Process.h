#pragma once
#include <string>

namespace qor::platform {

// Full path of the running program's file (empty when the system cannot tell).
std::string ProgramFilePath();

}  // namespace qor::platform
