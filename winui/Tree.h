#pragma once
// The airport tree of the elevation page: a virtual tree view over the workflow's lines. The
// airports are items from the start, an airport's elements once it is first opened, and every
// text is asked for when it is drawn. A double-click, Enter or F2 edits the selected line.

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "workflow/AirportLines.h"

namespace qor::winui {

class Tree {
 public:
  // tip gives a line's hint; edit is called with the line the user asks to change.
  Tree(std::function<std::string(std::size_t)> tip, std::function<void(std::size_t)> edit);

  void Create(HWND parent, int id, HFONT font, int indent);
  HWND Handle() const { return tree_; }

  void Show(const AirportLines& lines);
  void LineChanged(std::size_t line);
  void Expand(std::size_t line);
  // Selects the line, scrolls it into view and gives the tree the keyboard.
  void Select(std::size_t line);
  std::optional<std::size_t> Selected() const;
  // Enter as the dialog manager reports it: the selected line edited, when the tree has the
  // keyboard (false otherwise).
  bool Enter();
  // The tree's WM_NOTIFY.
  LRESULT Notify(const NMHDR& header);

 private:
  void InsertElements(HTREEITEM airport, std::size_t line);
  void EditSelected();

  std::function<std::string(std::size_t)> tip_;
  std::function<void(std::size_t)> edit_;
  HWND tree_ = nullptr;
  const AirportLines* lines_ = nullptr;
  std::vector<HTREEITEM> items_;  // by line; an airport's elements once it was expanded
  std::wstring shown_;            // the text the tree asked for last
};

}  // namespace qor::winui
