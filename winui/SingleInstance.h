#pragma once
// One running window per user session, as the program has always worked on Windows: a second
// start finds the running window by its class and the end of its title, hands its arguments
// over in a global atom with message 1125 (a text too long for an atom goes by WM_COPYDATA),
// brings it forward, and ends.

#include <string>
#include <vector>

namespace qor::winui {

// True when another window was running and took the arguments: this process is to end.
bool ActivatePrevInstance(const std::vector<std::string>& arguments);

}  // namespace qor::winui
