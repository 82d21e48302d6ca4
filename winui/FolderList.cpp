#include "winui/FolderList.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Folder.h"
#include "platform/Text_win32.h"

namespace qor::winui {

namespace {

using platform::Utf8;
using platform::Wide;

std::string BoxText(HWND box, int row) {
  std::wstring text(static_cast<std::size_t>(::SendMessageW(box, CB_GETLBTEXTLEN, row, 0)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      ::SendMessageW(box, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
  return Utf8(text);
}

}  // namespace

FolderList::FolderList(Actions actions) : actions_(std::move(actions)) {}

void FolderList::Create(HWND parent, int driveId, int listId, HFONT font) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  drives_ = ::CreateWindowExW(
      0, L"COMBOBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0,
      10, 200, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(driveId)), instance, nullptr);
  list_ =
      ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | LBS_NOTIFY |
                            LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                        0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(listId)),
                        instance, nullptr);
  for (const HWND control : {drives_, list_}) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  for (const std::string& root : platform::DriveRoots()) {
    ::SendMessageW(drives_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(root).c_str()));
  }
}

void FolderList::Show(const FolderRows& rows) {
  SelectDriveOf(rows.folder);
  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (const FolderRow& row : rows.rows) {
    const std::wstring text =
        std::wstring(static_cast<std::size_t>(row.depth) * 2, L' ') + Wide(row.text);
    ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  current_ = rows.current;
  ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(rows.current), 0);
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
}

void FolderList::SelectDriveOf(const std::string& folder) {
  std::vector<std::string> roots;
  const int count = static_cast<int>(::SendMessageW(drives_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) roots.push_back(BoxText(drives_, i));
  const std::string root = platform::DriveRootOf(folder, roots);
  const auto at = std::find(roots.begin(), roots.end(), root);
  if (at != roots.end()) ::SendMessageW(drives_, CB_SETCURSEL, at - roots.begin(), 0);
}

std::string FolderList::Drive() const {
  const int row = static_cast<int>(::SendMessageW(drives_, CB_GETCURSEL, 0, 0));
  return row < 0 ? std::string() : BoxText(drives_, row);
}

bool FolderList::Command(HWND control, int code) {
  if (control == drives_) {
    if (code == CBN_SELCHANGE) {
      const int row = static_cast<int>(::SendMessageW(drives_, CB_GETCURSEL, 0, 0));
      if (row >= 0) actions_.chooseDrive(BoxText(drives_, row));
    }
    return true;
  }
  if (control != list_) return false;
  const auto row = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return true;
  if (code == LBN_DBLCLK) actions_.enter(static_cast<std::size_t>(row));
  if (code == LBN_SELCHANGE && static_cast<std::size_t>(row) == current_) {
    actions_.currentClicked();
  }
  return true;
}

bool FolderList::Enter() {
  if (::GetFocus() != list_) return false;
  const auto row = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (row != LB_ERR) actions_.enter(static_cast<std::size_t>(row));
  return true;
}

}  // namespace qor::winui
