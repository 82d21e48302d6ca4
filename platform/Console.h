#pragma once
// The command line and the standard output and error of a console program, in UTF-8 whatever
// the system: Windows gives its arguments in UTF-16 and writes a console in UTF-16 too.

#include <string>
#include <string_view>
#include <vector>

namespace qor::platform {

// The program's arguments, without the program itself.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes text as it is to standard output (a file or a pipe gets the UTF-8 bytes, a console
// shows the characters), or to standard error.
void WriteOut(std::string_view text);
void WriteErr(std::string_view text);

}  // namespace qor::platform
