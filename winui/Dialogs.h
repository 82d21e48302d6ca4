#pragma once
// The window's dialogs on Windows: message and input boxes of the window's own, in French
// whatever the system's language (their buttons say "Oui", "Non", "Annuler"), centred on the
// window; the system's open and save dialogs.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "workflow/FrontEnd.h"

namespace qor::winui {

class Win32Dialogs : public WorkflowDialogs {
 public:
  // The window the dialogs belong to and are centred on (none: the screen).
  void SetOwner(HWND owner) { owner_ = owner; }

  void Message(const std::string& text) override;
  int MsgBox(const std::string& text, const std::string& caption, int flags) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool OpenFileName(std::string& path) override;
  bool OpenFile(const std::string& caption, const std::string& filter, std::string& path) override;
  bool SaveFileName(const std::string& caption, const std::string& filter,
                    std::string& path) override;
  bool BrowseFolder(const std::string& caption, std::string& folder) override;

 private:
  HWND owner_ = nullptr;
};

// Gives the controls of window (by their ids) the hints shown when the mouse rests on them.
// Returns the hints' window: destroyed, it takes them away (before they are given again in
// another language).
HWND AddHints(HWND window, const std::vector<std::pair<int, std::string>>& hints);

}  // namespace qor::winui
