#pragma once
// The program's environment: its name, its folder and the user's desktop folder, filled once
// at start-up and read-only afterwards.

#include <cstdint>
#include <string>

namespace qor {

// The program file's name without its extension ("QORBgl"); it names the settings key.
const std::string& ProgName();
// The program file's folder, ending in the path delimiter; the help page lies there.
const std::string& AppFolder();
// The user's desktop folder, ending in the path delimiter; the backup folder lies there.
const std::string& DesktopFolder();

// The start-up, once per process (later calls do nothing): fills the three values from the
// program file's path and the user's desktop, makes sure the local application-data folder
// exists, reads the user identity key "\Software\QOR Soft\Central" (which creates it), and
// advances the launch counters of both branches.
void InitEnvironment();

struct ProgramPlace {
  std::string appFolder;  // up to and including the last delimiter; the delimiter alone if none
  std::string progName;   // the file name without a trailing ".exe" (in any letter case)
};
ProgramPlace SplitProgramPath(const std::string& path);

// Adds one to the "Lancements" counter of a branch and returns the new count. A missing text,
// or one that is no number, counts as 0.
std::int64_t AdvanceLaunchCounter(bool machine);

// Sets the three values; the start-up does it once, tests do it to place the program.
void SetEnvironment(std::string progName, std::string appFolder, std::string desktopFolder);

}  // namespace qor
