#pragma once
// Where the window finds its help page, QORBgl.htm.

#include <string>

namespace qor {

// The help page of a program whose folder is appFolder (ending in the path delimiter): beside
// the program (the build folder, the Windows installation), else in share/qorbgl beside the
// program's folder (an installed or relocated Linux tree: bin/QORBgl, share/qorbgl/QORBgl.htm).
// When neither holds it, the page beside the program: the viewer then says that it is missing.
std::string HelpPagePath(const std::string& appFolder);

// The help page of the running program (AppFolder).
std::string HelpPagePath();

}  // namespace qor
