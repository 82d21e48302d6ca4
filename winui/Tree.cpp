#include "winui/Tree.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Text_win32.h"

namespace qor::winui {

using platform::Wide;

Tree::Tree(std::function<std::string(std::size_t)> tip, std::function<void(std::size_t)> edit)
    : tip_(std::move(tip)), edit_(std::move(edit)) {}

void Tree::Create(HWND parent, int id, HFONT font, int indent) {
  tree_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TVS_HASBUTTONS |
                                TVS_LINESATROOT | TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_INFOTIP,
                            0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  TreeView_SetIndent(tree_, indent);
}

void Tree::Show(const AirportLines& lines) {
  ::SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  lines_ = nullptr;  // no line is asked for while the items go
  TreeView_DeleteAllItems(tree_);
  lines_ = &lines;
  items_.assign(lines.Size(), nullptr);
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = LPSTR_TEXTCALLBACKW;
  for (std::size_t line = 0; line < lines.Size(); line += 1 + lines.ElementCount(line)) {
    insert.item.lParam = static_cast<LPARAM>(line);
    insert.item.cChildren = lines.ElementCount(line) > 0 ? 1 : 0;
    items_[line] = TreeView_InsertItem(tree_, &insert);
  }
  ::SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(tree_, nullptr, TRUE);
}

void Tree::InsertElements(HTREEITEM airport, std::size_t line) {
  if (lines_ == nullptr || line >= lines_->Size() || !lines_->IsAirport(line)) return;
  const std::size_t count = lines_->ElementCount(line);
  if (count == 0 || items_[line + 1] != nullptr) return;  // none, or in already
  TVINSERTSTRUCTW insert{};
  insert.hParent = airport;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = LPSTR_TEXTCALLBACKW;
  insert.item.cChildren = 0;
  for (std::size_t e = line + 1; e <= line + count; ++e) {
    insert.item.lParam = static_cast<LPARAM>(e);
    items_[e] = TreeView_InsertItem(tree_, &insert);
  }
}

void Tree::LineChanged(std::size_t line) {
  if (line >= items_.size() || items_[line] == nullptr) return;
  RECT r{};
  std::memcpy(&r, &items_[line], sizeof(HTREEITEM));  // the message reads the item from there
  if (::SendMessageW(tree_, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r))) {
    ::InvalidateRect(tree_, &r, TRUE);
  }
}

void Tree::Expand(std::size_t line) {
  if (line < items_.size() && items_[line] != nullptr) {
    TreeView_Expand(tree_, items_[line], TVE_EXPAND);
  }
}

void Tree::Select(std::size_t line) {
  if (line >= items_.size()) return;
  if (items_[line] == nullptr && lines_ != nullptr) Expand(lines_->Parent(line));
  if (items_[line] == nullptr) return;
  TreeView_SelectItem(tree_, items_[line]);
  TreeView_EnsureVisible(tree_, items_[line]);
  ::SetFocus(tree_);
}

std::optional<std::size_t> Tree::Selected() const {
  const HTREEITEM selected = TreeView_GetSelection(tree_);
  if (selected == nullptr || lines_ == nullptr) return std::nullopt;
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = selected;
  TreeView_GetItem(tree_, &item);
  return static_cast<std::size_t>(item.lParam);
}

void Tree::EditSelected() {
  if (const auto line = Selected()) edit_(*line);
}

bool Tree::Enter() {
  if (::GetFocus() != tree_) return false;
  EditSelected();
  return true;
}

LRESULT Tree::Notify(const NMHDR& header) {
  if (lines_ == nullptr) return 0;
  switch (header.code) {
    case TVN_GETDISPINFOW: {
      auto& info = const_cast<NMTVDISPINFOW&>(reinterpret_cast<const NMTVDISPINFOW&>(header));
      const auto line = static_cast<std::size_t>(info.item.lParam);
      if ((info.item.mask & TVIF_TEXT) != 0 && line < lines_->Size()) {
        shown_ = Wide(lines_->Text(line));
        std::wcsncpy(info.item.pszText, shown_.c_str(),
                     static_cast<std::size_t>(std::max(info.item.cchTextMax - 1, 0)));
        if (info.item.cchTextMax > 0) info.item.pszText[info.item.cchTextMax - 1] = L'\0';
      }
      if ((info.item.mask & TVIF_CHILDREN) != 0 && line < lines_->Size()) {
        info.item.cChildren = lines_->IsAirport(line) && lines_->ElementCount(line) > 0 ? 1 : 0;
      }
      return 0;
    }
    case TVN_ITEMEXPANDINGW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (change.action == TVE_EXPAND) {
        InsertElements(change.itemNew.hItem, static_cast<std::size_t>(change.itemNew.lParam));
      }
      return FALSE;
    }
    case TVN_GETINFOTIPW: {
      auto& tip = const_cast<NMTVGETINFOTIPW&>(reinterpret_cast<const NMTVGETINFOTIPW&>(header));
      if (tip.cchTextMax <= 0) return 0;
      const std::wstring text = Wide(tip_(static_cast<std::size_t>(tip.lParam)));
      std::wcsncpy(tip.pszText, text.c_str(), static_cast<std::size_t>(tip.cchTextMax - 1));
      tip.pszText[tip.cchTextMax - 1] = L'\0';
      return 0;
    }
    case NM_DBLCLK:
      // Also below the lines: the selected line is edited; the double-click folds nothing.
      EditSelected();
      return TRUE;
    case TVN_KEYDOWN:
      // Enter comes as the dialog manager's IDOK (Enter), F2 here, as in a file list.
      if (reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_F2) EditSelected();
      return 0;
    default:
      return 0;
  }
}

}  // namespace qor::winui
