#pragma once
// The folder list and the drive box above it: the rows the workflow gives (the chain of parent
// folders, then the subfolders), the drive of the folder shown. A double-click or Enter on a
// row enters it; a click on the current folder's row lists that folder whole again.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "workflow/FolderRows.h"

namespace qor::winui {

class FolderList {
 public:
  struct Actions {
    std::function<void(std::size_t)> enter;               // a row entered
    std::function<void()> currentClicked;                 // the current folder's row clicked
    std::function<void(const std::string&)> chooseDrive;  // a drive's root chosen
  };
  explicit FolderList(Actions actions);

  // The drive box (driveId) and the list (listId), in that order of the keyboard.
  void Create(HWND parent, int driveId, int listId, HFONT font);
  HWND Drives() const { return drives_; }
  HWND List() const { return list_; }

  void Show(const FolderRows& rows);
  // The drive box's text, as the settings keep it.
  std::string Drive() const;

  // The window's WM_COMMAND from the two controls: true when it was theirs.
  bool Command(HWND control, int code);
  // Enter as the dialog manager reports it: the focused row entered, when the list has the
  // keyboard (false otherwise).
  bool Enter();

 private:
  void SelectDriveOf(const std::string& folder);

  Actions actions_;
  HWND drives_ = nullptr;
  HWND list_ = nullptr;
  std::size_t current_ = 0;
};

}  // namespace qor::winui
