#pragma once
// The French reason of a system error number, for the messages of the POSIX file layer.

#include <string>

namespace qor::platform {

std::string ReasonOfErrno(int error);

}  // namespace qor::platform
