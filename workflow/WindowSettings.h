#pragma once
// What the window keeps from one run to the next, and where it starts: the page, the sizes of
// its two panes and the folder of its file list.

#include <string>

#include "workflow/FrontEnd.h"

namespace qor {

struct WindowSettings {
  // The drive box's entry (a drive letter on Windows, a mounted root on Linux).
  std::string drive;
  // The folder the file list shows, ending in the path delimiter.
  std::string folder;
  Page page = Page::Help;
  // The width of the file pane and the height of the folder pane; 0 keeps the design's.
  int filesWidth = 0;
  int dirHeight = 0;
};

// The settings saved at the last close. The folder is the saved one when it still exists,
// else the simulator's "Scenery" folder, else the program's current folder; a page other
// than the elevations' is the help page; a size that is no number above 0 is 0.
WindowSettings ReadWindowSettings();
void WriteWindowSettings(const WindowSettings& settings);

}  // namespace qor
