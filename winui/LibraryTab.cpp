#include "winui/LibraryPane.h"

#include <shlobj.h>

#include <algorithm>
#include <utility>

#include "platform/Text_win32.h"
#include "winui/Ids.h"

namespace qor::winui {

namespace {

using platform::Utf8;
using platform::Wide;

// Every control of the page, for showing and hiding them together.
constexpr int kControls[] = {
    lSimulateur, eSimulateur, bParcourirSim, bCharger,  lZones,     lvZones,  lAeroport, eAeroport,
    bChercher,   lResume,     lvDefinitions, lConflits, lvConflits, bAligner, bAnnuler,  lEtatBib};

std::string TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

bool IsList(UINT_PTR id) {
  return id == lvZones || id == lvDefinitions || id == lvConflits;
}

}  // namespace

LibraryPane::LibraryPane(WorkflowDialogs& dialogs, Scheduler& scheduler,
                         std::function<void(const std::string&, std::uint32_t)> openDefinition)
    : openDefinition_(std::move(openDefinition)), page_(*this, dialogs, scheduler) {}

LibraryPane::~LibraryPane() {
  if (boldFont_ != nullptr) ::DeleteObject(boldFont_);
}

void LibraryPane::Build(HWND window, HFONT font, const std::function<int(int)>& px) {
  window_ = window;
  px_ = px;
  LOGFONTW bold{};
  ::GetObjectW(font, sizeof bold, &bold);
  bold.lfWeight = FW_BOLD;
  boldFont_ = ::CreateFontIndirectW(&bold);

  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto make = [&](const wchar_t* cls, int id, DWORD style, const std::string& text = {},
                  DWORD exStyle = 0) {
    const HWND control =
        ::CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | style, 0, 0, 10, 10, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  auto list = [&](int id, const std::vector<std::string>& columns) {
    const HWND view =
        make(WC_LISTVIEWW, id, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, {},
             WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(view, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
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
  make(L"STATIC", lSimulateur, SS_LEFT, "Simulateur :");
  make(L"EDIT", eSimulateur, ES_AUTOHSCROLL | WS_TABSTOP, {}, WS_EX_CLIENTEDGE);
  make(L"BUTTON", bParcourirSim, BS_PUSHBUTTON | WS_TABSTOP, "Parcourir…");
  make(L"BUTTON", bCharger, BS_PUSHBUTTON | WS_TABSTOP, "Charger");
  make(L"STATIC", lZones, SS_LEFT, "Zones de la bibliothèque, dans l'ordre de chargement :");
  list(lvZones, LibraryPage::AreaColumns());
  make(L"STATIC", lAeroport, SS_LEFT, "Aéroport (OACI ou nom) :");
  make(L"EDIT", eAeroport, ES_AUTOHSCROLL | WS_TABSTOP, {}, WS_EX_CLIENTEDGE);
  make(L"BUTTON", bChercher, BS_DEFPUSHBUTTON | WS_TABSTOP, "Chercher");
  make(L"STATIC", lResume, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);
  list(lvDefinitions, LibraryPage::DefinitionColumns());
  make(L"STATIC", lConflits, SS_LEFT, "Altitudes en désaccord :");
  list(lvConflits, LibraryPage::ConflictColumns());
  make(L"BUTTON", bAligner, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, "Aligner");
  make(L"BUTTON", bAnnuler, BS_PUSHBUTTON | WS_TABSTOP, "Annuler");
  make(L"STATIC", lEtatBib, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);
}

void LibraryPane::Layout(const RECT& page) {
  if (window_ == nullptr) return;  // the window's first sizing comes before its controls
  auto place = [&](int id, int x, int y, int cx, int cy) {
    ::SetWindowPos(Control(id), HWND_TOP, x, y, std::max(cx, 0), std::max(cy, 0), 0);
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
  place(bCharger, right - button, y, button, row);
  place(bParcourirSim, right - 2 * button - gap, y, button, row);
  place(lSimulateur, left, y + px_(4), px_(70), px_(16));
  place(eSimulateur, left + px_(72), y, right - 2 * button - 2 * gap - left - px_(72), row);
  y += row + px_(6);

  // The status line at the foot; the three lists share what lies between, the definitions
  // taking the largest part.
  const int status = px_(18);
  place(lEtatBib, left, page.bottom - margin - status, width, status);
  const int bottom = page.bottom - margin - status - gap;
  const int fixed = px_(17) + gap + (row + gap) + px_(18) + gap + (row + gap);
  const int lists = std::max(bottom - y - fixed, 0);
  const int areas = lists * 3 / 10;
  const int conflicts = lists * 3 / 10;
  const int definitions = lists - areas - conflicts;

  place(lZones, left, y, width, px_(16));
  y += px_(17);
  place(lvZones, left, y, width, areas);
  y += areas + gap;

  place(bChercher, right - button, y, button, row);
  place(lAeroport, left, y + px_(4), px_(130), px_(16));
  place(eAeroport, left + px_(132), y, right - button - gap - left - px_(132), row);
  y += row + gap;
  place(lResume, left, y, width, px_(16));
  y += px_(18);
  place(lvDefinitions, left, y, width, definitions);
  y += definitions + gap;

  place(bAnnuler, right - button, y, button, row);
  place(bAligner, right - 2 * button - gap, y, button, row);
  place(lConflits, left, y + px_(4), width - 2 * button - 2 * gap, px_(16));
  y += row + gap;
  place(lvConflits, left, y, width, conflicts);
}

void LibraryPane::Show(bool shown) {
  if (window_ == nullptr) return;
  for (const int id : kControls) ::ShowWindow(Control(id), shown ? SW_SHOW : SW_HIDE);
  if (shown && !shownOnce_) {
    shownOnce_ = true;
    page_.Show();
  }
}

HBRUSH LibraryPane::StaticBackground(HWND control, HDC dc) const {
  if (window_ == nullptr || ::GetParent(control) != window_) return nullptr;
  const int id = ::GetDlgCtrlID(control);
  if (std::find(std::begin(kControls), std::end(kControls), id) == std::end(kControls)) {
    return nullptr;
  }
  // The page's texts lie on the tab control's body, which is drawn in the window colour.
  ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
  return ::GetSysColorBrush(COLOR_WINDOW);
}

bool LibraryPane::Command(int id, int code) {
  switch (id) {
    case bParcourirSim:
      if (code == BN_CLICKED && !busy_) page_.Browse(TextOf(Control(eSimulateur)));
      return true;
    case bCharger:
      if (code == BN_CLICKED) page_.Load(TextOf(Control(eSimulateur)));
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

bool LibraryPane::Key(int id) {
  if (id == IDCANCEL) {
    if (!page_.Working()) return false;
    page_.Cancel();
    return true;
  }
  if (id != IDOK || window_ == nullptr) return false;
  const HWND focus = ::GetFocus();
  if (busy_) return focus == Control(eAeroport) || focus == Control(eSimulateur);
  if (focus == Control(eAeroport)) {
    page_.Lookup(TextOf(focus));
  } else if (focus == Control(eSimulateur)) {
    page_.Load(TextOf(focus));
  } else if (focus == Control(lvDefinitions)) {
    if (const auto row = Selected(lvDefinitions)) {
      OpenDefinition(*row);
    }
  } else {
    return false;
  }
  return true;
}

std::optional<LRESULT> LibraryPane::Notify(const NMHDR& header) {
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

void LibraryPane::Fill(int id, const std::vector<LibraryRow>& rows, std::vector<bool>& marks) {
  const HWND list = Control(id);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  marks.clear();
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const LibraryRow& row = rows[r];
    marks.push_back(row.marked);
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
  // Each column as wide as its widest text or its caption (Wine's "use header" sizing looks
  // at the texts alone), the last one taking what is left.
  for (int c = 0; c < columns; ++c) {
    if (c + 1 == columns) {
      ListView_SetColumnWidth(list, c, LVSCW_AUTOSIZE_USEHEADER);
      break;
    }
    wchar_t caption[128] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = caption;
    column.cchTextMax = 128;
    ListView_GetColumn(list, c, &column);
    ListView_SetColumnWidth(list, c, LVSCW_AUTOSIZE);
    const int header = ListView_GetStringWidth(list, caption) + px_(20);
    if (ListView_GetColumnWidth(list, c) < header) ListView_SetColumnWidth(list, c, header);
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

std::optional<std::size_t> LibraryPane::Selected(int list) const {
  const int row = ListView_GetNextItem(Control(list), -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

void LibraryPane::OpenDefinition(std::size_t row) {
  const auto file = page_.DefinitionFile(row);
  const auto offset = page_.DefinitionOffset(row);
  if (file && offset) openDefinition_(*file, *offset);
}

void LibraryPane::EnableButtons() {
  ::EnableWindow(Control(bCharger), !busy_);
  ::EnableWindow(Control(bChercher), !busy_);
  ::EnableWindow(Control(bAligner), !busy_ && Selected(lvConflits).has_value());
  ::EnableWindow(Control(bAnnuler), !busy_);
}

// ---- what the page's workflow shows ----

void LibraryPane::ShowSimulatorFolder(const std::string& folder) {
  ::SetWindowTextW(Control(eSimulateur), Wide(folder).c_str());
}

void LibraryPane::ShowAreas(const std::vector<LibraryRow>& rows) {
  Fill(lvZones, rows, areaMarks_);
}

void LibraryPane::ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& summary) {
  Fill(lvDefinitions, rows, definitionMarks_);
  ::SetWindowTextW(Control(lResume), Wide(summary).c_str());
}

void LibraryPane::ShowConflicts(const std::vector<LibraryRow>& rows) {
  Fill(lvConflits, rows, conflictMarks_);
  EnableButtons();
}

void LibraryPane::SetLibraryStatus(const std::string& text) {
  ::SetWindowTextW(Control(lEtatBib), Wide(text).c_str());
}

void LibraryPane::SetLibraryBusy(bool busy) {
  busy_ = busy;
  EnableButtons();
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace qor::winui
