#pragma once
// The help page's read-only rich-edit control: the page turned into rich text, its links to
// other documents opened by the shell, its links to its own headings (the table of contents)
// followed inside the control.

#include <windows.h>

#include <string>
#include <vector>

#include "winui/HelpText.h"

namespace qor::winui {

class HelpView {
 public:
  void Create(HWND parent, int id, HFONT font);
  HWND Handle() const { return edit_; }
  // Shows the page at path.
  void Load(const std::string& path);
  // The control's EN_LINK.
  void Link(const NMHDR& header);

 private:
  // The heading at character position at, put at the top of the control.
  void ScrollTo(long at);

  HWND edit_ = nullptr;
  std::vector<HelpLink> links_;
};

}  // namespace qor::winui
