#include "winui/LibraryTab.h"

#include <uxtheme.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/Text_win32.h"
#include "winui/Dialogs.h"
#include "winui/Fonts.h"
#include "winui/Ids.h"
#include "workflow/LangStr.h"

namespace qor::winui {

namespace {

using platform::Utf8;
using platform::Wide;

// Every control of the page, for showing and hiding them together.
constexpr int kControls[] = {lSimulateur, eSimulateur,   bParcourirSim, bCharger,      lReference,
                             eReference,  bParcourirRef, lZones,        lvZones,       lAeroport,
                             eAeroport,   bChercher,     lResume,       lvDefinitions, lConflits,
                             lvConflits,  bAligner,      bAnnuler,      lEtatBib};

std::string TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

// The page's height without its lists (the margins, the folder's and the reference's rows, the
// captions, the look-up's and the buttons' rows, the status line), and the least a list is given.
constexpr int kFixedHeight = 198;
constexpr int kLeastListHeight = 60;

bool IsList(UINT_PTR id) {
  return id == lvZones || id == lvDefinitions || id == lvConflits;
}

}  // namespace

LibraryTab::LibraryTab(WorkflowDialogs& dialogs, Scheduler& scheduler,
                       std::function<void(const std::string&, std::uint32_t)> openDefinition)
    : openDefinition_(std::move(openDefinition)), page_(*this, dialogs, scheduler) {}

LibraryTab::~LibraryTab() {
  if (boldFont_ != nullptr) ::DeleteObject(boldFont_);
}

void LibraryTab::Build(HWND window, HFONT font, const std::function<int(int)>& px) {
  window_ = window;
  px_ = px;
  LOGFONTW bold{};
  ::GetObjectW(font, sizeof bold, &bold);
  bold.lfWeight = FW_BOLD;
  boldFont_ = ::CreateFontIndirectW(&bold);

  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto make = [&](const wchar_t* cls, int id, DWORD style, const std::string& text = {},
                  DWORD exStyle = 0) {
    const HWND control = ::CreateWindowExW(
        exStyle, cls, Wide(text).c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 10, 10, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  auto list = [&](int id, const std::vector<std::string>& columns) {
    const HWND view =
        make(WC_LISTVIEWW, id, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, {},
             WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(view,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      std::wstring caption = Wide(columns[c]);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.cx = px_(90);
      column.pszText = caption.data();
      column.iSubItem = static_cast<int>(c);
      ListView_InsertColumn(view, static_cast<int>(c), &column);
    }
  };
  // A label comes right before its field: its access key gives the field the keyboard.
  make(L"STATIC", lSimulateur, SS_LEFT, LangStr(29));
  make(L"EDIT", eSimulateur, ES_AUTOHSCROLL | WS_TABSTOP, {}, WS_EX_CLIENTEDGE);
  make(L"BUTTON", bParcourirSim, BS_PUSHBUTTON | WS_TABSTOP, LangStr(31));
  make(L"BUTTON", bCharger, BS_PUSHBUTTON | WS_TABSTOP, LangStr(32));
  make(L"STATIC", lReference, SS_LEFT, LangStr(66));
  make(L"EDIT", eReference, ES_AUTOHSCROLL | WS_TABSTOP, {}, WS_EX_CLIENTEDGE);
  make(L"BUTTON", bParcourirRef, BS_PUSHBUTTON | WS_TABSTOP, LangStr(67));
  make(L"STATIC", lZones, SS_LEFT, LangStr(33));
  list(lvZones, LibraryPage::AreaColumns());
  make(L"STATIC", lAeroport, SS_LEFT, LangStr(34));
  make(L"EDIT", eAeroport, ES_AUTOHSCROLL | WS_TABSTOP, {}, WS_EX_CLIENTEDGE);
  make(L"BUTTON", bChercher, BS_PUSHBUTTON | WS_TABSTOP, LangStr(35));
  make(L"STATIC", lResume, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);
  list(lvDefinitions, LibraryPage::DefinitionColumns());
  make(L"STATIC", lConflits, SS_LEFT, LangStr(37));
  list(lvConflits, LibraryPage::ConflictColumns());
  make(L"BUTTON", bAligner, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, LangStr(38));
  make(L"BUTTON", bAnnuler, BS_PUSHBUTTON | WS_TABSTOP, LangStr(50));
  make(L"STATIC", lEtatBib, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);

  SetTexts();
}

void LibraryTab::SetTexts() {
  if (window_ == nullptr) return;
  for (const auto& [id, text] : {std::pair{lSimulateur, 29},
                                 {bParcourirSim, 31},
                                 {bCharger, 32},
                                 {lReference, 66},
                                 {bParcourirRef, 67},
                                 {lZones, 33},
                                 {lAeroport, 34},
                                 {bChercher, 35},
                                 {lConflits, 37},
                                 {bAligner, 38},
                                 {bAnnuler, 50}}) {
    ::SetWindowTextW(Control(id), Wide(LangStr(text)).c_str());
  }
  for (const auto& [id, columns] : {std::pair{lvZones, LibraryPage::AreaColumns()},
                                    std::pair{lvDefinitions, LibraryPage::DefinitionColumns()},
                                    std::pair{lvConflits, LibraryPage::ConflictColumns()}}) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      std::wstring caption = Wide(columns[c]);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT;
      column.pszText = caption.data();
      ListView_SetColumn(Control(id), static_cast<int>(c), &column);
    }
    FitColumns(id);
  }
  // The hints, the Qt window's.
  if (hints_ != nullptr) ::DestroyWindow(hints_);
  hints_ = AddHints(window_, {{eSimulateur, LangStr(30)},
                              {eReference, LangStr(68)},
                              {bAligner, LangStr(39)},
                              {bAnnuler, LangStr(51)}});
}

void LibraryTab::Layout(const RECT& page) {
  if (window_ == nullptr) return;  // the window's first sizing comes before its controls
  auto place = [&](int id, int x, int y, int cx, int cy) {
    // The drawing order stays the creation's, which is the keyboard's too.
    ::SetWindowPos(Control(id), nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const int margin = px_(6);
  const int row = px_(21);
  const int button = px_(75);
  const int gap = px_(4);
  const int left = page.left + margin;
  const int right = page.right - margin;
  const int width = right - left;
  int y = page.top + margin;

  // The simulator's folder, its browse and load buttons.
  // Labels and buttons as wide as their texts in the language spoken, 100 and 75 at the least;
  // the fields take the rest.
  const auto wide = [&](int id) { return std::max(button, TextWidth(Control(id)) + px_(16)); };
  const int label = std::max(
      px_(100), std::max(TextWidth(Control(lSimulateur)), TextWidth(Control(lReference))) + px_(4));
  const int load = wide(bCharger);
  const int browse = std::max(wide(bParcourirSim), wide(bParcourirRef));
  place(bCharger, right - load, y, load, row);
  place(bParcourirSim, right - load - browse - gap, y, browse, row);
  place(lSimulateur, left, y + px_(4), label, px_(16));
  place(eSimulateur, left + label + px_(2), y,
        right - load - browse - 2 * gap - left - label - px_(2), row);
  y += row + px_(6);
  // The reference list, its field and its browse button under the folder's.
  place(bParcourirRef, right - load - browse - gap, y, browse, row);
  place(lReference, left, y + px_(4), label, px_(16));
  place(eReference, left + label + px_(2), y,
        right - load - browse - 2 * gap - left - label - px_(2), row);
  y += row + px_(6);

  // The status line at the foot; the three lists share what lies between, the definitions
  // taking the largest part.
  const int status = px_(18);
  place(lEtatBib, left, page.bottom - margin - status, width, status);
  const int bottom = page.bottom - margin - status - gap;
  const int fixed = px_(17) + gap + (row + gap) + px_(18) + gap + px_(17) + gap + row;
  // Each list shows a few rows at the least; of the rest, the areas, read once and looked at
  // little, take the smallest part, the definitions and the conflicts the room.
  const int lists = std::max(bottom - y - fixed, 0);
  const int least = std::min(px_(kLeastListHeight), lists / 3);
  const int extra = lists - 3 * least;
  const int areas = least + extra / 5;
  const int conflicts = least + extra * 3 / 10;
  const int definitions = lists - areas - conflicts;

  place(lZones, left, y, width, px_(16));
  y += px_(17);
  place(lvZones, left, y, width, areas);
  y += areas + gap;

  const int find = wide(bChercher);
  const int airport = std::max(px_(140), TextWidth(Control(lAeroport)) + px_(4));
  place(bChercher, right - find, y, find, row);
  place(lAeroport, left, y + px_(4), airport, px_(16));
  place(eAeroport, left + airport + px_(2), y, right - find - gap - left - airport - px_(2), row);
  y += row + gap;
  place(lResume, left, y, width, px_(16));
  y += px_(18);
  place(lvDefinitions, left, y, width, definitions);
  y += definitions + gap;

  // The conflicts' caption over the whole width, the list, and its buttons under it, as in the
  // Qt window: a caption of any language has the room.
  place(lConflits, left, y, width, px_(16));
  y += px_(17);
  place(lvConflits, left, y, width, conflicts);
  y += conflicts + gap;
  const int align = wide(bAligner);
  place(bAligner, left, y, align, row);
  place(bAnnuler, left + align + gap, y, wide(bAnnuler), row);
  for (const int list : {lvZones, lvDefinitions, lvConflits}) FitColumns(list);
}

void LibraryTab::Show(bool shown) {
  if (window_ == nullptr) return;
  for (const int id : kControls) ::ShowWindow(Control(id), shown ? SW_SHOW : SW_HIDE);
  if (shown && !shownOnce_) {
    shownOnce_ = true;
    page_.Show();
  }
}

HBRUSH LibraryTab::StaticBackground(HWND control, HDC dc) const {
  if (window_ == nullptr || ::GetParent(control) != window_) return nullptr;
  const int id = ::GetDlgCtrlID(control);
  if (std::find(std::begin(kControls), std::end(kControls), id) == std::end(kControls)) {
    return nullptr;
  }
  // The page's texts lie on the tab control's body: the window colour under a visual theme,
  // the buttons' without one (Wine's default).
  const int colour = ::IsAppThemed() ? COLOR_WINDOW : COLOR_BTNFACE;
  ::SetBkColor(dc, ::GetSysColor(colour));
  return ::GetSysColorBrush(colour);
}

bool LibraryTab::Command(int id, int code) {
  switch (id) {
    case bParcourirSim:
      if (code == BN_CLICKED && !busy_) page_.Browse(TextOf(Control(eSimulateur)));
      return true;
    case bCharger:
      if (code == BN_CLICKED) page_.Load(TextOf(Control(eSimulateur)));
      return true;
    case bParcourirRef:
      if (code == BN_CLICKED && !busy_) page_.BrowseReference(TextOf(Control(eReference)));
      return true;
    case bChercher:
      if (code == BN_CLICKED) page_.Lookup(TextOf(Control(eAeroport)));
      return true;
    case bAligner:
      if (code == BN_CLICKED) {
        if (const auto row = Selected(lvConflits)) page_.AlignConflict(*row);
      }
      return true;
    case bAnnuler:
      if (code == BN_CLICKED && !busy_) page_.UndoAlignment();
      return true;
    default:
      return false;
  }
}

bool LibraryTab::Key(int id) {
  if (id == IDCANCEL) {
    if (!page_.Working()) return false;
    page_.Cancel();
    return true;
  }
  if (id != IDOK || window_ == nullptr) return false;
  const HWND focus = ::GetFocus();
  if (busy_) {
    return focus == Control(eAeroport) || focus == Control(eSimulateur) ||
           focus == Control(eReference);
  }
  if (focus == Control(eAeroport)) {
    page_.Lookup(TextOf(focus));
  } else if (focus == Control(eSimulateur)) {
    page_.Load(TextOf(focus));
  } else if (focus == Control(eReference)) {
    page_.LoadReference(TextOf(focus));
  } else if (focus == Control(lvDefinitions)) {
    if (const auto row = Selected(lvDefinitions)) {
      OpenDefinition(*row);
    }
  } else {
    return false;
  }
  return true;
}

std::optional<LRESULT> LibraryTab::Notify(const NMHDR& header) {
  if (!IsList(header.idFrom)) return std::nullopt;
  switch (header.code) {
    case NM_CUSTOMDRAW: {
      // The marked lines in bold: the font is chosen line by line.
      auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
      if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const std::vector<bool>& marks = header.idFrom == lvZones         ? areaMarks_
                                         : header.idFrom == lvDefinitions ? definitionMarks_
                                                                          : conflictMarks_;
        const auto row = static_cast<std::size_t>(draw.nmcd.dwItemSpec);
        if (row < marks.size() && marks[row]) {
          ::SelectObject(draw.nmcd.hdc, boldFont_);
          return CDRF_NEWFONT;
        }
      }
      return CDRF_DODEFAULT;
    }
    case LVN_ITEMCHANGED:
      if (header.idFrom == lvConflits) EnableButtons();
      return 0;
    case LVN_GETINFOTIPW: {
      // A row's hint, which the workflow gives (a definition's whole path, its column may cut).
      auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
      const std::vector<std::string>& tips = tips_[static_cast<int>(header.idFrom)];
      if (tip.iItem >= 0 && static_cast<std::size_t>(tip.iItem) < tips.size() &&
          tip.cchTextMax > 0) {
        const std::wstring text = Wide(tips[static_cast<std::size_t>(tip.iItem)]);
        const auto n = std::min(text.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
        text.copy(tip.pszText, n);
        tip.pszText[n] = L'\0';
      }
      return 0;
    }
    case NM_DBLCLK:
      if (header.idFrom == lvDefinitions) {
        const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
        if (click.iItem >= 0) {
          OpenDefinition(static_cast<std::size_t>(click.iItem));
        }
      }
      return 0;
    default:
      return std::nullopt;
  }
}

void LibraryTab::Fill(int id, const std::vector<LibraryRow>& rows, std::vector<bool>& marks) {
  const HWND list = Control(id);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  marks.clear();
  std::vector<std::string>& tips = tips_[id];
  tips.clear();
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const LibraryRow& row = rows[r];
    marks.push_back(row.marked);
    tips.push_back(row.tip);
    for (std::size_t c = 0; c < row.cells.size() && static_cast<int>(c) < columns; ++c) {
      std::wstring text = Wide(row.cells[c]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = text.data();
      if (c == 0) {
        ListView_InsertItem(list, &item);
      } else {
        ListView_SetItem(list, &item);
      }
    }
  }
  FitColumns(id);
  // A new look-up is read from its first column.
  ListView_Scroll(list, -::GetScrollPos(list, SB_HORZ) - 1, 0);
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void LibraryTab::FitColumns(int id) {
  const HWND list = Control(id);
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  // Each column as wide as its widest text or its caption (Wine's "use header" sizing looks at
  // the texts alone).
  std::vector<int> widths;
  std::vector<bool> kept;  // the columns of metres, never cut
  for (int c = 0; c < columns; ++c) {
    wchar_t caption[128] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = caption;
    column.cchTextMax = 128;
    ListView_GetColumn(list, c, &column);
    ListView_SetColumnWidth(list, c, LVSCW_AUTOSIZE);
    widths.push_back(std::max(ListView_GetColumnWidth(list, c),
                              ListView_GetStringWidth(list, caption) + px_(32)));
    const std::wstring_view text(caption);
    kept.push_back(text.size() >= 3 && text.substr(text.size() - 3) == L"(m)");
  }
  if (widths.empty()) return;
  // Too wide for the list: the widest columns (a file's path first, which its row's hint shows
  // whole) give up the difference, so that every column, the elevation whole, shows without
  // scrolling.
  RECT client{};
  ::GetClientRect(list, &client);
  const int room = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
  auto total = [&](int cap) {
    int sum = 0;
    for (std::size_t c = 0; c < widths.size(); ++c)
      sum += kept[c] ? widths[c] : std::min(widths[c], cap);
    return sum;
  };
  // The largest width the wide columns are cut to, never below a short word's.
  int cap = *std::max_element(widths.begin(), widths.end());
  if (total(cap) > room) {
    int low = px_(60), high = cap;
    while (low < high) {
      const int mid = (low + high + 1) / 2;
      if (total(mid) <= room) {
        low = mid;
      } else {
        high = mid - 1;
      }
    }
    cap = low;
  }
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (!kept[c]) widths[c] = std::min(widths[c], cap);
  }
  for (int c = 0; c < columns; ++c) ListView_SetColumnWidth(list, c, widths[c]);
}

int LibraryTab::MinimumHeight() const {
  return px_(kFixedHeight + 3 * kLeastListHeight);
}

std::optional<std::size_t> LibraryTab::Selected(int list) const {
  const int row = ListView_GetNextItem(Control(list), -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

void LibraryTab::OpenDefinition(std::size_t row) {
  const auto file = page_.DefinitionFile(row);
  const auto offset = page_.DefinitionOffset(row);
  if (file && offset) openDefinition_(*file, *offset);
}

void LibraryTab::EnableButtons() {
  ::EnableWindow(Control(bCharger), !busy_);
  ::EnableWindow(Control(bParcourirSim), !busy_);
  ::EnableWindow(Control(bParcourirRef), !busy_);
  ::EnableWindow(Control(bChercher), !busy_);
  ::EnableWindow(Control(bAligner), !busy_ && Selected(lvConflits).has_value());
  ::EnableWindow(Control(bAnnuler), !busy_);
}

// ---- what the page's workflow shows ----

void LibraryTab::ShowSimulatorFolder(const std::string& folder) {
  ::SetWindowTextW(Control(eSimulateur), Wide(folder).c_str());
}

void LibraryTab::ShowReferenceFile(const std::string& file) {
  ::SetWindowTextW(Control(eReference), Wide(file).c_str());
}

void LibraryTab::ShowAreas(const std::vector<LibraryRow>& rows) {
  Fill(lvZones, rows, areaMarks_);
}

void LibraryTab::ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& summary) {
  Fill(lvDefinitions, rows, definitionMarks_);
  ::SetWindowTextW(Control(lResume), Wide(summary).c_str());
}

void LibraryTab::ShowConflicts(const std::vector<LibraryRow>& rows) {
  Fill(lvConflits, rows, conflictMarks_);
  EnableButtons();
}

void LibraryTab::SetLibraryStatus(const std::string& text) {
  ::SetWindowTextW(Control(lEtatBib), Wide(text).c_str());
}

void LibraryTab::SetLibraryBusy(bool busy) {
  busy_ = busy;
  EnableButtons();
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace qor::winui
