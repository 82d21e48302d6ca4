#include "winui/MainWindow.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "platform/File.h"
#include "platform/Folder.h"
#include "platform/Text_win32.h"
#include "util/FileUtil.h"
#include "util/HelpPage.h"
#include "util/ProgramTitle.h"
#include "winui/HelpText.h"
#include "winui/Ids.h"
#include "workflow/LangStr.h"
#include "workflow/WindowSettings.h"

namespace qor::winui {

namespace {

using platform::Utf8;
using platform::Wide;

// A step of a long task waits in the window's queue for this message.
constexpr UINT kStepMessage = WM_APP + 1;

// Design sizes, in pixels at 96 dots per inch.
constexpr int kCommandHeight = 33;
constexpr int kStatusHeight = 25;
constexpr int kSplitter = 3;
constexpr int kMinFilesWidth = 120;
constexpr int kMinDirHeight = 100;
constexpr int kMinFileListHeight = 200;
constexpr int kMinPagesWidth = 300;

HFONT MakeFont(const std::wstring& name, int points, int dpi, BYTE pitchAndFamily) {
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(points, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  font.lfPitchAndFamily = pitchAndFamily;
  std::wcsncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&font);
}

// The tree's columns line up only in a fixed-pitch font: "Courier New" where it is installed
// (every Windows), else the first scalable fixed-pitch font of the system (Wine has no Courier
// New, and its font mapper would give a proportional one for the name).
struct FixedPitchFaces {
  bool courierNew = false;
  std::wstring first;
};

int CALLBACK NoteFixedPitchFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto* found = reinterpret_cast<FixedPitchFaces*>(data);
  const std::wstring face = font->lfFaceName;
  if (face == L"Courier New") found->courierNew = true;
  if (found->first.empty() && (font->lfPitchAndFamily & 3) == FIXED_PITCH &&
      (type & TRUETYPE_FONTTYPE) != 0 && !face.empty() && face[0] != L'@') {
    found->first = face;
  }
  return 1;
}

std::wstring FixedPitchFace() {
  FixedPitchFaces found;
  LOGFONTW all{};
  all.lfCharSet = DEFAULT_CHARSET;
  const HDC screen = ::GetDC(nullptr);
  ::EnumFontFamiliesExW(screen, &all, NoteFixedPitchFace, reinterpret_cast<LPARAM>(&found), 0);
  ::ReleaseDC(nullptr, screen);
  return found.courierNew || found.first.empty() ? L"Courier New" : found.first;
}

// A bitmap drawn once: the French tricolour of the language button, the printer of the print
// button.
HBITMAP Drawn(int width, int height, const std::function<void(HDC)>& draw) {
  const HDC screen = ::GetDC(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  draw(dc);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

void Fill(HDC dc, int x, int y, int w, int h, COLORREF colour) {
  const RECT r{x, y, x + w, y + h};
  const HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}

HBITMAP FrenchFlag() {
  return Drawn(27, 19, [](HDC dc) {
    Fill(dc, 0, 0, 9, 19, RGB(0, 35, 149));
    Fill(dc, 9, 0, 9, 19, RGB(255, 255, 255));
    Fill(dc, 18, 0, 9, 19, RGB(237, 41, 57));
    const HBRUSH frame = ::CreateSolidBrush(RGB(96, 96, 96));
    const RECT r{0, 0, 27, 19};
    ::FrameRect(dc, &r, frame);
    ::DeleteObject(frame);
  });
}

HBITMAP PrinterIcon() {
  return Drawn(16, 16, [](HDC dc) {
    Fill(dc, 0, 0, 16, 16, ::GetSysColor(COLOR_BTNFACE));
    Fill(dc, 4, 1, 8, 6, RGB(40, 40, 40));
    Fill(dc, 5, 2, 6, 4, RGB(255, 255, 255));  // the sheet going in
    Fill(dc, 1, 6, 14, 7, RGB(40, 40, 40));
    Fill(dc, 2, 7, 12, 5, RGB(170, 170, 170));  // the body
    Fill(dc, 4, 10, 8, 6, RGB(40, 40, 40));
    Fill(dc, 5, 11, 6, 4, RGB(255, 255, 255));  // the sheet coming out
    Fill(dc, 12, 8, 1, 1, RGB(0, 160, 0));
  });
}

// The page a tab shows, by the tab's index.
Page PageAt(int index) {
  return index == 1 ? Page::Elevations : index == 2 ? Page::Library : Page::Help;
}

std::string TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

}  // namespace

MainWindow::MainWindow()
    : workflow_(*this, dialogs_, *this, printer_),
      library_(dialogs_, *this, [this](const std::string& file, std::uint32_t offset) {
        workflow_.OpenDefinition(file, offset);
      }) {}

MainWindow::~MainWindow() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(baseFont_), static_cast<HGDIOBJ>(fixedFont_),
                         static_cast<HGDIOBJ>(statusFont_), static_cast<HGDIOBJ>(flag_),
                         static_cast<HGDIOBJ>(printerIcon_)}) {
    if (object != nullptr) ::DeleteObject(object);
  }
  if (languageMenu_ != nullptr) ::DestroyMenu(languageMenu_);
}

int MainWindow::Px(int designPixels) const {
  return ::MulDiv(designPixels, dpi_, 96);
}

bool MainWindow::Create(int show, const std::string& commandLinePath) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (::RegisterClassExW(&windowClass) == 0) return false;

  const std::string title =
      ProgramTitle(4) + " " + LangStr(1, "Modification de l'altitude des aéroports et pistes");
  const HDC screen = ::GetDC(nullptr);
  dpi_ = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  window_ = ::CreateWindowExW(0, kWindowClass, Wide(title).c_str(), WS_OVERLAPPEDWINDOW, Px(207),
                              Px(114), Px(696), Px(480), nullptr, nullptr, instance, this);
  if (window_ == nullptr) return false;
  dialogs_.SetOwner(window_);
  BuildControls();

  const WindowSettings settings = ReadWindowSettings();
  if (settings.filesWidth > 0) filesWidth_ = settings.filesWidth;
  if (settings.dirHeight > 0) dirHeight_ = settings.dirHeight;
  RestoreFormPlacement(*this, -1, -1);
  TabCtrl_SetCurSel(Control(pc), static_cast<int>(settings.page));
  ::ShowWindow(window_, pendingState_ == WindowState::Maximized ? SW_SHOWMAXIMIZED : show);
  Layout();
  ShowPageControls(static_cast<int>(settings.page));
  ShowHelp();
  ::UpdateWindow(window_);
  Guarded([&] { workflow_.Start(settings, commandLinePath); });
  return true;
}

void MainWindow::BuildControls() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  baseFont_ = MakeFont(L"MS Sans Serif", 8, dpi_, VARIABLE_PITCH | FF_SWISS);
  fixedFont_ = MakeFont(FixedPitchFace(), 9, dpi_, FIXED_PITCH | FF_MODERN);
  statusFont_ = MakeFont(L"MS Sans Serif", 10, dpi_, VARIABLE_PITCH | FF_SWISS);
  auto make = [&](const wchar_t* cls, int id, DWORD style, const std::wstring& text = L"",
                  DWORD exStyle = 0) {
    const HWND control = ::CreateWindowExW(
        exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(baseFont_), FALSE);
    return control;
  };
  flag_ = FrenchFlag();
  printerIcon_ = PrinterIcon();
  const HWND langue = make(L"BUTTON", bLangue, BS_BITMAP | WS_TABSTOP);
  ::SendMessageW(langue, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(flag_));
  make(L"STATIC", lFichier, SS_LEFT, Wide(LangStr(4, "Fichier :")));
  make(L"EDIT", eFichier, ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, L"", WS_EX_CLIENTEDGE);
  make(L"BUTTON", bFichier, BS_PUSHBUTTON | WS_TABSTOP, Wide(LangStr(5, "Parcourir")));
  const HWND impr = make(L"BUTTON", bImpr, BS_BITMAP | WS_TABSTOP | WS_DISABLED);
  ::SendMessageW(impr, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(printerIcon_));
  make(L"COMBOBOX", cbDrive, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
  for (const std::string& root : platform::DriveRoots()) {
    ::SendMessageW(Control(cbDrive), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(root).c_str()));
  }
  make(L"LISTBOX", lbDir, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, L"",
       WS_EX_CLIENTEDGE);
  make(L"LISTBOX", lbFiles, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, L"",
       WS_EX_CLIENTEDGE);
  make(L"BUTTON", bSearch, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED,
       Wide(LangStr(6, "Rechercher")));
  const HWND tabs = make(WC_TABCONTROLW, pc, WS_CLIPSIBLINGS | WS_TABSTOP);
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  std::wstring aide = Wide(LangStr(2, "Aide"));
  std::wstring elevation = Wide(LangStr(3, "Élévation"));
  tab.pszText = aide.data();
  TabCtrl_InsertItem(tabs, 0, &tab);
  tab.pszText = elevation.data();
  TabCtrl_InsertItem(tabs, 1, &tab);
  std::wstring bibliotheque = Wide("Bibliothèque");
  tab.pszText = bibliotheque.data();
  TabCtrl_InsertItem(tabs, 2, &tab);
  make(MSFTEDIT_CLASS, wbAide,
       ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL | WS_TABSTOP, L"",
       WS_EX_CLIENTEDGE);
  ::SendMessageW(Control(wbAide), EM_SETEVENTMASK, 0, ENM_LINK);
  const HWND tree = make(WC_TREEVIEWW, tvElev,
                         TVS_HASBUTTONS | TVS_LINESATROOT | TVS_HASLINES | TVS_SHOWSELALWAYS |
                             TVS_INFOTIP | WS_TABSTOP,
                         L"", WS_EX_CLIENTEDGE);
  ::SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_), FALSE);
  TreeView_SetIndent(tree, Px(19));
  library_.Build(window_, baseFont_, [this](int designPixels) { return Px(designPixels); });
  make(L"STATIC", pSb, SS_LEFT | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX);
  ::SendMessageW(Control(pSb), WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_), FALSE);

  // The hints of the controls that have one.
  const HWND tips =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                        0, window_, nullptr, instance, nullptr);
  const std::pair<int, std::string> hints[] = {
      {bFichier, "Recherche d'un fichier par boîte de dialogue."},
      {bImpr, "Impression de la liste."},
      {lbFiles, LangStr(27, "Fichiers BGL au nouveau format")},
  };
  for (const auto& [id, hint] : hints) {
    std::wstring text = Wide(hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
    tool.lpszText = text.data();
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  languageMenu_ = ::CreatePopupMenu();
  ::AppendMenuW(languageMenu_, MF_STRING, mLangue, L"I want to add a language");
}

void MainWindow::Layout() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const int w = client.right;
  const int h = client.bottom;
  auto place = [&](int id, int x, int y, int cx, int cy) {
    ::MoveWindow(Control(id), x, y, std::max(cx, 0), std::max(cy, 0), TRUE);
  };
  // The command bar: flag, label, file field (it grows), browse and print buttons.
  place(bLangue, Px(4), Px(4), Px(35), Px(24));
  place(lFichier, Px(48), Px(8), Px(40), Px(16));
  place(bFichier, w - Px(105), Px(4), Px(75), Px(21));
  place(bImpr, w - Px(24), Px(4), Px(21), Px(21));
  place(eFichier, Px(88), Px(4), w - Px(105) - Px(4) - Px(88), Px(21));
  place(pSb, 0, h - Px(kStatusHeight), w, Px(kStatusHeight));

  // The panes, each kept at its minimum.
  const int top = Px(kCommandHeight);
  const int bottom = h - Px(kStatusHeight);
  const int files = std::clamp(Px(filesWidth_), Px(kMinFilesWidth),
                               std::max(Px(kMinFilesWidth), w - Px(kSplitter + kMinPagesWidth)));
  const int dir =
      std::clamp(Px(dirHeight_), Px(kMinDirHeight),
                 std::max(Px(kMinDirHeight), bottom - top - Px(kSplitter + kMinFileListHeight)));
  place(cbDrive, 0, top, files, Px(200));
  place(lbDir, Px(1), top + Px(19), files - Px(2), dir - Px(20));
  const int listTop = top + dir + Px(kSplitter);
  place(lbFiles, Px(1), listTop + Px(1), files - Px(2), bottom - listTop - Px(31));
  place(bSearch, Px(6), bottom - Px(25), files - Px(14), Px(21));
  const int pagesLeft = files + Px(kSplitter);
  place(pc, pagesLeft, top, w - pagesLeft, bottom - top);
  RECT page{pagesLeft, top, w, bottom};
  TabCtrl_AdjustRect(Control(pc), FALSE, &page);
  for (const int id : {wbAide, tvElev}) {
    place(id, page.left, page.top, page.right - page.left, page.bottom - page.top);
    ::SetWindowPos(Control(id), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  library_.Layout(page);
}

void MainWindow::ShowPageControls(int index) {
  ::ShowWindow(Control(wbAide), index == 0 ? SW_SHOW : SW_HIDE);
  ::ShowWindow(Control(tvElev), index == 1 ? SW_SHOW : SW_HIDE);
  library_.Show(index == 2);
}

void MainWindow::ShowHelp() {
  // Read only: the page lies in a folder the user may not write, under Program Files.
  const std::string page = HelpPagePath();
  std::string html;
  const HANDLE file = ::CreateFileW(Wide(page).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) html.append(chunk, got);
    ::CloseHandle(file);
  } else {
    html = "<h1>Aide</h1><p>Le fichier d'aide " + page + " est introuvable.</p>";
  }
  const std::string rtf = HelpRtf(html);
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  ::SendMessageW(Control(wbAide), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(rtf.c_str()));
}

// ---- messages ----

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  // An error that escapes a handler is shown, and the window goes on.
  self->Guarded([&] {
    result = self->Handle(message, wParam, lParam);
    handled = true;
  });
  return handled ? result : 0;
}

void MainWindow::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::bad_alloc&) {
    dialogs_.MsgBox("Mémoire insuffisante.", "QORBgl", UserDialog::kIconStop | UserDialog::kOk);
  } catch (const std::exception& e) {
    dialogs_.MsgBox(e.what(), "QORBgl", UserDialog::kIconStop | UserDialog::kOk);
  }
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {
          Px(kMinFilesWidth + kSplitter + kMinPagesWidth + 16),
          Px(kCommandHeight + kStatusHeight + kMinDirHeight + kMinFileListHeight + 60)};
      return 0;
    }
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return Notify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Control(pSb)) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, RGB(255, 0, 0));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      if (const HBRUSH brush = library_.StaticBackground(reinterpret_cast<HWND>(lParam),
                                                         reinterpret_cast<HDC>(wParam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_SETCURSOR:
      if (busy_ || library_.Busy()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window_) {
        POINT at{};
        ::GetCursorPos(&at);
        ::ScreenToClient(window_, &at);
        if (const int splitter = SplitterAt(at.x, at.y)) {
          ::SetCursor(::LoadCursorW(nullptr, splitter == 1 ? IDC_SIZEWE : IDC_SIZENS));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN:
      // The splitters: the gap right of the file pane, and the one above the file list.
      dragging_ =
          SplitterAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      if (dragging_ != 0) ::SetCapture(window_);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_ != 0) {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        if (dragging_ == 1) {
          filesWidth_ = std::max(kMinFilesWidth, ::MulDiv(x, 96, dpi_));
        } else {
          dirHeight_ = std::max(kMinDirHeight, ::MulDiv(y - Px(kCommandHeight), 96, dpi_));
        }
        Layout();
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_ != 0) {
        dragging_ = 0;
        ::ReleaseCapture();
      }
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == Control(bLangue)) LanguageMenu();
      return 0;
    case kStepMessage:
      if (!steps_.empty()) {
        std::function<void()> step = std::move(steps_.front());
        steps_.pop_front();
        step();
      }
      return 0;
    case kHandOverMessage: {
      wchar_t name[256] = {};
      const UINT length = ::GlobalGetAtomNameW(static_cast<ATOM>(wParam), name, 256);
      HandOver(std::wstring(name, length));
      return 0;
    }
    case WM_COPYDATA: {
      // A hand-over too long for an atom.
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data->dwData != kHandOverMessage) break;
      HandOver(
          std::wstring(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
      return TRUE;
    }
    case WM_CLOSE:
      FormClose();
      ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

int MainWindow::SplitterAt(int x, int y) const {
  RECT list{};
  ::GetWindowRect(Control(lbFiles), &list);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&list), 2);
  RECT dir{};
  ::GetWindowRect(Control(lbDir), &dir);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&dir), 2);
  RECT pages{};
  ::GetWindowRect(Control(pc), &pages);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&pages), 2);
  if (x >= list.right && x < pages.left && y >= pages.top && y < pages.bottom) return 1;
  if (x < list.right && y >= dir.bottom && y < list.top) return 2;
  return 0;
}

void MainWindow::HandOver(const std::wstring& text) {
  if (::IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
  ::SetForegroundWindow(window_);
  workflow_.HandOver(Utf8(text));  // held while a dialog or a long task runs
}

void MainWindow::Command(int id, int code) {
  if (library_.Command(id, code)) return;
  switch (id) {
    case IDOK:  // Enter and Escape, from the dialog manager of the message loop
    case IDCANCEL:
      library_.Key(id);
      break;
    case bLangue:
      if (code == BN_CLICKED) LanguageMenu();
      break;
    case kUndoCommand:  // Ctrl+Z
      if (workflow_.CurrentPage() == Page::Elevations) workflow_.UndoLastChange();
      break;
    case mLangue:
      dialogs_.Message(
          "Do you want to translate this program ?\r\n\nPlease send a mail to "
          "qorbgl@qor-soft.fr to ask for instructions.");
      break;
    case bFichier:
      if (code == BN_CLICKED) workflow_.Browse();
      break;
    case bImpr:
      if (code == BN_CLICKED) workflow_.PrintList();
      break;
    case bSearch:
      if (code == BN_CLICKED) workflow_.Search();
      break;
    case cbDrive:
      if (code == CBN_SELCHANGE) {
        const int row = static_cast<int>(::SendMessageW(Control(cbDrive), CB_GETCURSEL, 0, 0));
        std::wstring root(
            static_cast<std::size_t>(::SendMessageW(Control(cbDrive), CB_GETLBTEXTLEN, row, 0)) + 1,
            L'\0');
        root.resize(static_cast<std::size_t>(::SendMessageW(
            Control(cbDrive), CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(root.data()))));
        workflow_.ChooseFolder(Utf8(root));
      }
      break;
    case lbDir: {
      const int row = static_cast<int>(::SendMessageW(Control(lbDir), LB_GETCURSEL, 0, 0));
      if (code == LBN_DBLCLK && row >= 0) workflow_.EnterFolder(static_cast<std::size_t>(row));
      // A click on the folder shown lists it whole again (after a search, say).
      if (code == LBN_SELCHANGE && row >= 0 &&
          static_cast<std::size_t>(row) == workflow_.Rows().current) {
        workflow_.ChooseFolder(workflow_.Folder());
      }
      break;
    }
    case lbFiles:
      if (code == LBN_SELCHANGE) {
        const auto row = ::SendMessageW(Control(lbFiles), LB_GETCURSEL, 0, 0);
        if (row != LB_ERR) workflow_.ChooseFile(static_cast<std::size_t>(row));
      }
      break;
    default:
      break;
  }
}

LRESULT MainWindow::Notify(const NMHDR& header) {
  if (header.idFrom == static_cast<UINT_PTR>(pc) && header.code == TCN_SELCHANGE) {
    const int page = TabCtrl_GetCurSel(Control(pc));
    ShowPageControls(page);
    workflow_.ShowPage(PageAt(page));
    return 0;
  }
  if (const auto handled = library_.Notify(header)) return *handled;
  if (header.idFrom == static_cast<UINT_PTR>(wbAide) && header.code == EN_LINK) {
    const auto& link = reinterpret_cast<const ENLINK&>(header);
    if (link.msg == WM_LBUTTONUP) {
      std::wstring target(static_cast<std::size_t>(link.chrg.cpMax - link.chrg.cpMin) + 1, L'\0');
      TEXTRANGEW range{link.chrg, target.data()};
      target.resize(static_cast<std::size_t>(
          ::SendMessageW(Control(wbAide), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
      ::ShellExecuteW(window_, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return 0;
  }
  if (header.idFrom != static_cast<UINT_PTR>(tvElev) || lines_ == nullptr) return 0;
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
      const std::wstring text = Wide(workflow_.LineTip(static_cast<std::size_t>(tip.lParam)));
      std::wcsncpy(tip.pszText, text.c_str(), static_cast<std::size_t>(tip.cchTextMax - 1));
      tip.pszText[tip.cchTextMax - 1] = L'\0';
      return 0;
    }
    case NM_DBLCLK: {
      // Also below the lines: the selected line is edited; the double-click folds nothing.
      const HTREEITEM selected = TreeView_GetSelection(Control(tvElev));
      if (selected != nullptr) {
        TVITEMW item{};
        item.mask = TVIF_PARAM;
        item.hItem = selected;
        TreeView_GetItem(Control(tvElev), &item);
        workflow_.EditLine(static_cast<std::size_t>(item.lParam));
      }
      return TRUE;
    }
    case TVN_KEYDOWN: {
      const auto& key = reinterpret_cast<const NMTVKEYDOWN&>(header);
      if (key.wVKey == VK_RETURN) {
        NMHDR click = header;
        click.code = NM_DBLCLK;
        Notify(click);
      }
      return 0;
    }
    default:
      return 0;
  }
}

void MainWindow::LanguageMenu() {
  RECT button{};
  ::GetWindowRect(Control(bLangue), &button);
  ::TrackPopupMenu(languageMenu_, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0,
                   window_, nullptr);
}

// ---- the folder list ----

void MainWindow::FillFolderList(const FolderRows& rows) {
  const HWND list = Control(lbDir);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const FolderRow& row : rows.rows) {
    const std::wstring text =
        std::wstring(static_cast<std::size_t>(row.depth) * 2, L' ') + Wide(row.text);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(rows.current), 0);
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::SelectDriveOf(const std::string& folder) {
  const HWND box = Control(cbDrive);
  std::vector<std::string> roots;
  const int count = static_cast<int>(::SendMessageW(box, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring root(static_cast<std::size_t>(::SendMessageW(box, CB_GETLBTEXTLEN, i, 0)) + 1,
                      L'\0');
    root.resize(static_cast<std::size_t>(
        ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(root.data()))));
    roots.push_back(Utf8(root));
  }
  const std::string root = platform::DriveRootOf(folder, roots);
  const auto at = std::find(roots.begin(), roots.end(), root);
  if (at != roots.end()) ::SendMessageW(box, CB_SETCURSEL, at - roots.begin(), 0);
}

// ---- what the workflow shows ----

void MainWindow::SetStatus(const std::string& text) {
  ::SetWindowTextW(Control(pSb), Wide(" " + text).c_str());
}

void MainWindow::ShowFolder(const FolderRows& rows) {
  SelectDriveOf(rows.folder);
  FillFolderList(rows);
}

void MainWindow::ShowPage(Page page) {
  TabCtrl_SetCurSel(Control(pc), static_cast<int>(page));
  ShowPageControls(static_cast<int>(page));
}

void MainWindow::ClearFiles() {
  ::SendMessageW(Control(lbFiles), LB_RESETCONTENT, 0, 0);
}

void MainWindow::AppendFiles(const std::vector<std::string>& names) {
  const HWND list = Control(lbFiles);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (const std::string& name : names) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::SelectFile(std::optional<std::size_t> index) {
  ::SendMessageW(Control(lbFiles), LB_SETCURSEL, index ? static_cast<WPARAM>(*index) : WPARAM(-1),
                 0);
}

void MainWindow::SetSearchEnabled(bool enabled) {
  ::EnableWindow(Control(bSearch), enabled);
}

void MainWindow::SetFileField(const std::string& path) {
  ::SetWindowTextW(Control(eFichier), Wide(path).c_str());
}

void MainWindow::ShowTree(const AirportLines& lines) {
  const HWND tree = Control(tvElev);
  ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  lines_ = nullptr;  // no line is asked for while the items go
  TreeView_DeleteAllItems(tree);
  lines_ = &lines;
  items_.assign(lines.Size(), nullptr);
  // The airports now; an airport's elements when it is first opened.
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = LPSTR_TEXTCALLBACKW;
  for (std::size_t line = 0; line < lines.Size(); line += 1 + lines.ElementCount(line)) {
    insert.item.lParam = static_cast<LPARAM>(line);
    insert.item.cChildren = lines.ElementCount(line) > 0 ? 1 : 0;
    items_[line] = TreeView_InsertItem(tree, &insert);
  }
  ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(tree, nullptr, TRUE);
}

void MainWindow::InsertElements(HTREEITEM airport, std::size_t line) {
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
    items_[e] = TreeView_InsertItem(Control(tvElev), &insert);
  }
}

void MainWindow::LineChanged(std::size_t line) {
  if (line >= items_.size() || items_[line] == nullptr) return;
  RECT r{};
  std::memcpy(&r, &items_[line], sizeof(HTREEITEM));  // the message reads the item from there
  if (::SendMessageW(Control(tvElev), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r))) {
    ::InvalidateRect(Control(tvElev), &r, TRUE);
  }
}

void MainWindow::ExpandLine(std::size_t line) {
  if (line < items_.size() && items_[line] != nullptr) {
    TreeView_Expand(Control(tvElev), items_[line], TVE_EXPAND);
  }
}

void MainWindow::SelectLine(std::size_t line) {
  if (line >= items_.size()) return;
  if (items_[line] == nullptr && lines_ != nullptr) ExpandLine(lines_->Parent(line));
  if (items_[line] == nullptr) return;
  const HWND tree = Control(tvElev);
  TreeView_SelectItem(tree, items_[line]);
  TreeView_EnsureVisible(tree, items_[line]);
  ::SetFocus(tree);
}

void MainWindow::SetPrintEnabled(bool enabled) {
  ::EnableWindow(Control(bImpr), enabled);
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::ShowProgress(const std::string& text, std::size_t done, std::size_t total) {
  if (total == 0) {
    if (progress_ != nullptr) ::DestroyWindow(progress_);
    progress_ = nullptr;
    return;
  }
  if (progress_ == nullptr) progress_ = MakeProgressBox(window_, [this] { workflow_.Cancel(); });
  UpdateProgressBox(progress_, text, done, total);
}

void MainWindow::Post(std::function<void()> step) {
  steps_.push_back(std::move(step));
  ::PostMessageW(window_, kStepMessage, 0, 0);
}

// ---- settings and placement ----

void MainWindow::FormClose() {
  WindowSettings layout;
  layout.drive = TextOf(Control(cbDrive));
  layout.filesWidth = filesWidth_;
  layout.dirHeight = dirHeight_;
  workflow_.Close(layout);
  // The normal bounds, also of a maximised window, which starts in its normal size next time.
  SaveFormPlacement(*this, WindowState::Normal);
}

namespace {

WINDOWPLACEMENT PlacementOf(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(window, &placement);
  return placement;
}

}  // namespace

int MainWindow::Left() const {
  return PlacementOf(window_).rcNormalPosition.left;
}
int MainWindow::Top() const {
  return PlacementOf(window_).rcNormalPosition.top;
}
int MainWindow::Width() const {
  const RECT r = PlacementOf(window_).rcNormalPosition;
  return r.right - r.left;
}
int MainWindow::Height() const {
  const RECT r = PlacementOf(window_).rcNormalPosition;
  return r.bottom - r.top;
}
void MainWindow::SetLeft(int v) {
  WINDOWPLACEMENT p = PlacementOf(window_);
  const int width = p.rcNormalPosition.right - p.rcNormalPosition.left;
  p.rcNormalPosition.left = v;
  p.rcNormalPosition.right = v + width;
  p.showCmd = ::IsWindowVisible(window_) ? p.showCmd : SW_HIDE;
  ::SetWindowPlacement(window_, &p);
}
void MainWindow::SetTop(int v) {
  WINDOWPLACEMENT p = PlacementOf(window_);
  const int height = p.rcNormalPosition.bottom - p.rcNormalPosition.top;
  p.rcNormalPosition.top = v;
  p.rcNormalPosition.bottom = v + height;
  p.showCmd = ::IsWindowVisible(window_) ? p.showCmd : SW_HIDE;
  ::SetWindowPlacement(window_, &p);
}
void MainWindow::SetWidth(int v) {
  WINDOWPLACEMENT p = PlacementOf(window_);
  p.rcNormalPosition.right = p.rcNormalPosition.left + v;
  p.showCmd = ::IsWindowVisible(window_) ? p.showCmd : SW_HIDE;
  ::SetWindowPlacement(window_, &p);
}
void MainWindow::SetHeight(int v) {
  WINDOWPLACEMENT p = PlacementOf(window_);
  p.rcNormalPosition.bottom = p.rcNormalPosition.top + v;
  p.showCmd = ::IsWindowVisible(window_) ? p.showCmd : SW_HIDE;
  ::SetWindowPlacement(window_, &p);
}
WindowState MainWindow::State() const {
  if (::IsZoomed(window_)) return WindowState::Maximized;
  if (::IsIconic(window_)) return WindowState::Minimized;
  return WindowState::Normal;
}
void MainWindow::SetState(WindowState state) {
  // Before the window is shown, the state waits for its showing (Create).
  if (!::IsWindowVisible(window_)) {
    pendingState_ = state;
    return;
  }
  ::ShowWindow(window_, state == WindowState::Maximized   ? SW_MAXIMIZE
                        : state == WindowState::Minimized ? SW_MINIMIZE
                                                          : SW_RESTORE);
}
int MainWindow::ScreenWidth() const {
  return ::GetSystemMetrics(SM_CXSCREEN);
}
int MainWindow::ScreenHeight() const {
  return ::GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace qor::winui
