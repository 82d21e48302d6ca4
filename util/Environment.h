#pragma once
// The program's environment: its name, its folder and the user's desktop folder, filled once
// at start-up and read-only afterwards.

#include <string>

namespace qor {

// The program file's name without its extension ("QORBgl"); it names the settings key.
const std::string& ProgName();
// The program file's folder, ending in the path delimiter; the help page lies there.
const std::string& AppFolder();
// The user's desktop folder, ending in the path delimiter; the backup folder lies there.
const std::string& DesktopFolder();

// Sets the three values; the start-up does it once, tests do it to place the program.
void SetEnvironment(std::string progName, std::string appFolder, std::string desktopFolder);

}  // namespace qor
