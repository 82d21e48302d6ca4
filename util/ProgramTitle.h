#pragma once
// The program's version and the title that names it, "(QORBgl v1.0.1.4)", as the window's
// caption and the print-outs show it.

#include <string>
#include <string_view>

namespace qor {

struct FileVersion {
  int major = 0;
  int minor = 0;
  int release = 0;
  int build = 0;
  bool operator==(const FileVersion&) const = default;
};

// The version this program was built with: the project's version.
FileVersion BuiltVersion();
// The four numbers of a version, plain: "1.0.1.4".
std::string VersionText(const FileVersion& version);

// The version of the program file at path. Only the program's own file carries one (the
// version it was built with); every other file, and a missing one, gives all zeros.
FileVersion ReadFileVersion(const std::string& path);

// "(QORBgl v1.0.1.4)" with parts (1 to 4) numbers of the version.
std::string ProgramTitle(int parts);
std::string ProgramTitle(int parts, std::string_view progName, const FileVersion& version);

}  // namespace qor
