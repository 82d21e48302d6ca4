#pragma once
// The test process's environment, set the same way on every system.

#include <string>

namespace qor::test {

void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);

}  // namespace qor::test
