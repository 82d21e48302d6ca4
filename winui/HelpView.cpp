#include "winui/HelpView.h"

#include <richedit.h>
#include <shellapi.h>

namespace qor::winui {

void HelpView::Create(HWND parent, int id, HFONT font) {
  edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | ES_MULTILINE |
                                ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL,
                            0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_LINK);
  ::SendMessageW(edit_, EM_AUTOURLDETECT, TRUE, 0);
}

void HelpView::Load(const std::string& path) {
  const HelpPage page = HelpPageOf(ReadHelpHtml(path));
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  ::SendMessageW(edit_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(page.rtf.c_str()));
  // The links to the page's own headings look and answer as the others: the control's link mark.
  links_ = page.links;
  CHARFORMAT2W link{};
  link.cbSize = sizeof link;
  link.dwMask = CFM_LINK;
  link.dwEffects = CFE_LINK;
  for (const HelpLink& each : links_) {
    CHARRANGE range{each.start, each.end};
    ::SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    ::SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&link));
  }
  CHARRANGE start{0, 0};
  ::SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
}

void HelpView::Link(const NMHDR& header) {
  const auto& link = reinterpret_cast<const ENLINK&>(header);
  if (link.msg != WM_LBUTTONUP) return;
  for (const HelpLink& each : links_) {
    if (link.chrg.cpMin < each.end && link.chrg.cpMax > each.start) {
      if (each.target >= 0) ScrollTo(each.target);
      return;
    }
  }
  std::wstring target(static_cast<std::size_t>(link.chrg.cpMax - link.chrg.cpMin) + 1, L'\0');
  TEXTRANGEW range{link.chrg, target.data()};
  target.resize(static_cast<std::size_t>(
      ::SendMessageW(edit_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
  ::ShellExecuteW(::GetParent(edit_), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void HelpView::ScrollTo(long at) {
  CHARRANGE caret{at, at};
  ::SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  const auto line = ::SendMessageW(edit_, EM_EXLINEFROMCHAR, 0, at);
  const auto first = ::SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  ::SendMessageW(edit_, EM_LINESCROLL, 0, line - first);
}

}  // namespace qor::winui
