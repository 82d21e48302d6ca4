#include "winui/MainWindow.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <exception>
#include <new>

#include "platform/Text_win32.h"
#include "util/HelpPage.h"
#include "util/ProgramTitle.h"
#include "winui/Icons.h"
#include "winui/Ids.h"
#include "workflow/LangStr.h"
#include "workflow/WindowSettings.h"

namespace qor::winui {

namespace {

using platform::Utf8;
using platform::Wide;

// A step of a long task waits in the window's queue for this message.
constexpr UINT kStepMessage = WM_APP + 1;

// Design sizes, in pixels at 96 dots per inch: the command bar and the status line, and in the
// file pane the drive box above the folders and the search button below the files.
constexpr int kCommandHeight = 33;
constexpr int kStatusHeight = 25;
constexpr int kDriveHeight = 20;
constexpr int kSearchHeight = 31;
constexpr int kPageCount = 3;

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The window is the dialog manager's "dialog": Tab, Enter and the access keys go through it.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// The page a tab shows, by the tab's index.
Page PageAt(int index) {
  return index == 1 ? Page::Elevations : index == 2 ? Page::Library : Page::Help;
}

}  // namespace

MainWindow::MainWindow()
    : workflow_(*this, dialogs_, *this, printer_),
      folders_({[this](std::size_t row) { workflow_.EnterFolder(row); },
                [this] { workflow_.ChooseFolder(workflow_.Folder()); },
                [this](const std::string& root) { workflow_.ChooseFolder(root); }}),
      tree_([this](std::size_t line) { return workflow_.LineTip(line); },
            [this](std::size_t line) { workflow_.EditLine(line); }),
      library_(dialogs_, *this, [this](const std::string& file, std::uint32_t offset) {
        workflow_.OpenDefinition(file, offset);
      }) {}

MainWindow::~MainWindow() {
  for (const HBITMAP bitmap : {flag_, printerIcon_}) {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
  }
  for (const HBITMAP bitmap : menuFlags_) ::DeleteObject(bitmap);
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

  lang::SetCurrent(SavedLanguage());
  const std::string title = ProgramTitle(4) + " " + LangStr(1);
  const HDC screen = ::GetDC(nullptr);
  dpi_ = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  window_ = ::CreateWindowExW(kWindowExStyle, kWindowClass, Wide(title).c_str(), kWindowStyle,
                              Px(207), Px(114), Px(696), Px(480), nullptr, nullptr, instance, this);
  if (window_ == nullptr) return false;
  dialogs_.SetOwner(window_);
  placement_.Attach(window_);
  BuildControls();

  const WindowSettings settings = ReadWindowSettings();
  splitters_.SetSizes(settings.filesWidth, settings.dirHeight);
  RestoreFormPlacement(placement_, -1, -1);
  TabCtrl_SetCurSel(Control(pc), static_cast<int>(settings.page));
  ::ShowWindow(window_, placement_.FirstShow(show));
  Layout();
  ShowPageControls(static_cast<int>(settings.page));
  help_.Load(HelpPagePath());
  ::UpdateWindow(window_);
  Guarded([&] { workflow_.Start(settings, commandLinePath); });
  return true;
}

// The controls in the keyboard's order, which is also the drawing order: the pages' controls
// before the tab control, so that they lie above it and it never paints over them.
void MainWindow::BuildControls() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  fonts_.Make(dpi_);
  auto make = [&](const wchar_t* cls, int id, DWORD style, const std::wstring& text = L"",
                  DWORD exStyle = 0) {
    const HWND control = ::CreateWindowExW(
        exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 10, 10,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Text()), FALSE);
    return control;
  };
  flag_ = Flag(lang::Current());
  printerIcon_ = PrinterIcon();
  const HWND langue = make(L"BUTTON", bLangue, BS_BITMAP | WS_TABSTOP);
  ::SendMessageW(langue, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(flag_));
  make(L"STATIC", lFichier, SS_LEFT);
  make(L"EDIT", eFichier, ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, L"", WS_EX_CLIENTEDGE);
  make(L"BUTTON", bFichier, BS_PUSHBUTTON | WS_TABSTOP);
  const HWND impr = make(L"BUTTON", bImpr, BS_BITMAP | WS_TABSTOP | WS_DISABLED);
  ::SendMessageW(impr, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(printerIcon_));
  folders_.Create(window_, cbDrive, lbDir, fonts_.Text());
  make(L"LISTBOX", lbFiles, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, L"",
       WS_EX_CLIENTEDGE);
  make(L"BUTTON", bSearch, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED);
  help_.Create(window_, wbAide, fonts_.Text());
  tree_.Create(window_, tvElev, fonts_.FixedPitch(), Px(19));
  library_.Build(window_, fonts_.Text(), [this](int designPixels) { return Px(designPixels); });
  const HWND tabs = make(WC_TABCONTROLW, pc, WS_TABSTOP);
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  std::wstring caption;
  for (int i = 0; i < kPageCount; ++i) {
    tab.pszText = caption.data();
    TabCtrl_InsertItem(tabs, i, &tab);
  }
  make(L"STATIC", pSb, SS_LEFT | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX);
  ::SendMessageW(Control(pSb), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Status()), FALSE);
  // The languages, each named in itself with its flag; then the call for translators.
  languageMenu_ = ::CreatePopupMenu();
  for (std::size_t i = 0; i < qor::LanguageMenu().size(); ++i) {
    const LanguageItem& item = qor::LanguageMenu()[i];
    const int id = mLangueFirst + static_cast<int>(i);
    ::AppendMenuW(languageMenu_, MF_STRING, static_cast<UINT_PTR>(id), L"");
    menuFlags_.push_back(Flag(item.language));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = menuFlags_.back();
    ::SetMenuItemInfoW(languageMenu_, static_cast<UINT>(id), FALSE, &info);
  }
  ::AppendMenuW(languageMenu_, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(languageMenu_, MF_STRING, mLangue, L"");
  SetTexts();
}

void MainWindow::SetTexts() {
  ::SetWindowTextW(window_, Wide(ProgramTitle(4) + " " + LangStr(1)).c_str());
  ::SetWindowTextW(Control(lFichier), Wide(LangStr(4)).c_str());
  ::SetWindowTextW(Control(bFichier), Wide(LangStr(5)).c_str());
  ::SetWindowTextW(Control(bSearch), Wide(LangStr(6)).c_str());
  const int tabs[kPageCount] = {2, 3, 41};
  for (int i = 0; i < kPageCount; ++i) {
    std::wstring caption = Wide(LangStr(tabs[i]));
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption.data();
    TabCtrl_SetItem(Control(pc), i, &tab);
  }
  if (hints_ != nullptr) ::DestroyWindow(hints_);
  hints_ =
      AddHints(window_, {{bFichier, LangStr(60)}, {bImpr, LangStr(61)}, {lbFiles, LangStr(27)}});
  // The flag of the language spoken on the button; the menu names each language, that one
  // checked.
  const HBITMAP old = flag_;
  flag_ = Flag(lang::Current());
  ::SendMessageW(Control(bLangue), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(flag_));
  if (old != nullptr) ::DeleteObject(old);
  for (std::size_t i = 0; i < qor::LanguageMenu().size(); ++i) {
    const LanguageItem& item = qor::LanguageMenu()[i];
    const auto id = static_cast<UINT>(mLangueFirst + static_cast<int>(i));
    ::ModifyMenuW(languageMenu_, id, MF_BYCOMMAND | MF_STRING, id,
                  Wide(LangStr(item.text)).c_str());
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = menuFlags_[i];
    ::SetMenuItemInfoW(languageMenu_, id, FALSE, &info);
    ::CheckMenuItem(languageMenu_, id,
                    MF_BYCOMMAND | (item.language == lang::Current() ? MF_CHECKED : MF_UNCHECKED));
  }
  ::ModifyMenuW(languageMenu_, mLangue, MF_BYCOMMAND | MF_STRING, mLangue,
                Wide(LangStr(62)).c_str());
  library_.SetTexts();
}

void MainWindow::ChangeLanguage(lang::Language language) {
  ChooseLanguage(language);
  SetTexts();
  // The help page of that language, and what the workflow shows said again in it.
  help_.Load(HelpPagePath());
  workflow_.LanguageChanged();
  Layout();
}

void MainWindow::Layout() {
  if (Control(pSb) == nullptr) return;  // the first sizing comes before the controls
  RECT client{};
  ::GetClientRect(window_, &client);
  const int w = client.right;
  const int h = client.bottom;
  // Moved together, then drawn again whole: Wine leaves a moved control undrawn otherwise.
  HDWP moves = ::BeginDeferWindowPos(16);
  auto place = [&](int id, int x, int y, int cx, int cy) {
    if (moves != nullptr) {
      moves = ::DeferWindowPos(moves, Control(id), nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  // The command bar: flag, label, file field (it grows), browse and print buttons.
  place(bLangue, Px(4), Px(4), Px(35), Px(24));
  // The label and the button as wide as their texts, in whichever language.
  const int label = std::max(Px(40), TextWidth(Control(lFichier)) + Px(4));
  const int browse = std::max(Px(75), TextWidth(Control(bFichier)) + Px(16));
  place(lFichier, Px(48), Px(8), label, Px(16));
  place(bFichier, w - Px(30) - browse, Px(4), browse, Px(21));
  place(bImpr, w - Px(24), Px(4), Px(21), Px(21));
  place(eFichier, Px(48) + label, Px(4), w - Px(30) - browse - Px(4) - Px(48) - label, Px(21));
  place(pSb, 0, h - Px(kStatusHeight), w, Px(kStatusHeight));

  // The panes, each kept at its minimum; the splitters may not take them below it.
  const int top = Px(kCommandHeight);
  const int bottom = h - Px(kStatusHeight);
  const int gap = Px(kSplitterGap);
  splitters_.SetLimits(::MulDiv(w - gap - Px(kMinPagesWidth), 96, dpi_),
                       ::MulDiv(bottom - top - gap - Px(kMinFileListHeight), 96, dpi_));
  const int files = std::clamp(Px(splitters_.FilesWidth()), Px(kMinFilesWidth),
                               std::max(Px(kMinFilesWidth), w - gap - Px(kMinPagesWidth)));
  // The folders' pane holds the drive box, the files' pane the search button.
  const int dir =
      std::clamp(Px(splitters_.DirHeight()), Px(kMinDirHeight),
                 std::max(Px(kMinDirHeight), bottom - top - gap - Px(kMinFileListHeight)));
  place(cbDrive, 0, top, files, Px(200));
  place(lbDir, Px(1), top + Px(kDriveHeight - 1), files - Px(2), dir - Px(kDriveHeight));
  const int listTop = top + dir + gap;
  place(lbFiles, Px(1), listTop + Px(1), files - Px(2), bottom - listTop - Px(kSearchHeight + 1));
  place(bSearch, Px(6), bottom - Px(25), files - Px(14), Px(21));
  const int pagesLeft = files + gap;
  place(pc, pagesLeft, top, w - pagesLeft, bottom - top);
  RECT page{pagesLeft, top, w, bottom};
  TabCtrl_AdjustRect(Control(pc), FALSE, &page);
  for (const int id : {wbAide, tvElev}) {
    place(id, page.left, page.top, page.right - page.left, page.bottom - page.top);
  }
  if (moves != nullptr) ::EndDeferWindowPos(moves);
  library_.Layout(page);
  splitters_.SetGaps(RECT{files, top, pagesLeft, bottom}, RECT{0, top + dir, files, listTop});
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE MainWindow::MinimumSize() const {
  // The tab control's own height around a page: its tabs and its frame.
  RECT page{0, 0, 1000, 1000};
  TabCtrl_AdjustRect(Control(pc), FALSE, &page);
  const int tabs = 1000 - (page.bottom - page.top);
  const int pageHeight = std::max(Px(kMinDirHeight + kSplitterGap + kMinFileListHeight),
                                  library_.MinimumHeight() + tabs);
  RECT r{0, 0, Px(kMinFilesWidth + kSplitterGap + kMinPagesWidth),
         Px(kCommandHeight + kStatusHeight) + pageHeight};
  ::AdjustWindowRectEx(&r, kWindowStyle, FALSE, kWindowExStyle);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void MainWindow::ShowPageControls(int index) {
  ::ShowWindow(Control(wbAide), index == 0 ? SW_SHOW : SW_HIDE);
  ::ShowWindow(Control(tvElev), index == 1 ? SW_SHOW : SW_HIDE);
  library_.Show(index == 2);
  // The keyboard stays where it was, unless its control went with the page.
  const HWND focus = ::GetFocus();
  if (focus == nullptr || !::IsWindowVisible(focus)) ::SetFocus(Control(pc));
}

void MainWindow::StepPage(int step) {
  const int page = (TabCtrl_GetCurSel(Control(pc)) + step + kPageCount) % kPageCount;
  TabCtrl_SetCurSel(Control(pc), page);
  ShowPageControls(page);
  workflow_.ShowPage(PageAt(page));
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
      const SIZE minimum = MinimumSize();
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimum.cx, minimum.cy};
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      // A size asked for by a program, which the minimum of a drag does not stop.
      auto& position = *reinterpret_cast<WINDOWPOS*>(lParam);
      if ((position.flags & SWP_NOSIZE) == 0 && !::IsIconic(window_) && !::IsZoomed(window_)) {
        const SIZE minimum = MinimumSize();
        position.cx = std::max(position.cx, static_cast<int>(minimum.cx));
        position.cy = std::max(position.cy, static_cast<int>(minimum.cy));
      }
      break;
    }
    case WM_NEXTDLGCTL: {
      // The dialog manager moves the keyboard with this message (Tab, a label's access key),
      // which only a dialog's own procedure answers.
      const HWND target = LOWORD(lParam) != 0
                              ? reinterpret_cast<HWND>(wParam)
                              : ::GetNextDlgTabItem(window_, ::GetFocus(), wParam != 0);
      if (target != nullptr) ::SetFocus(target);
      return 0;
    }
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
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
        if (const auto bar = splitters_.At(at); bar != Splitters::kNone) {
          ::SetCursor(
              ::LoadCursorW(nullptr, bar == Splitters::kBetweenPanes ? IDC_SIZEWE : IDC_SIZENS));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN:
      if (splitters_.Press(
              POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))})) {
        ::SetCapture(window_);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (splitters_.Dragging()) {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        splitters_.DragTo(splitters_.DraggedBar() == Splitters::kBetweenPanes
                              ? ::MulDiv(x, 96, dpi_)
                              : ::MulDiv(y - Px(kCommandHeight), 96, dpi_));
        Layout();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (splitters_.Dragging()) {
        splitters_.Release();
        if (message == WM_LBUTTONUP) ::ReleaseCapture();
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

void MainWindow::HandOver(const std::wstring& text) {
  if (::IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
  ::SetForegroundWindow(window_);
  workflow_.HandOver(Utf8(text));  // held while a dialog or a long task runs
}

void MainWindow::Command(int id, int code, HWND control) {
  if (library_.Command(id, code)) return;
  if (control != nullptr && folders_.Command(control, code)) return;
  switch (id) {
    case IDOK:  // Enter, from the dialog manager of the message loop: the focused control's
      if (!folders_.Enter() && !tree_.Enter()) library_.Key(id);
      break;
    case IDCANCEL:  // Escape
      library_.Key(id);
      break;
    case bLangue:
      if (code == BN_CLICKED) LanguageMenu();
      break;
    case kUndoCommand:  // Ctrl+Z
      if (workflow_.CurrentPage() == Page::Elevations) workflow_.UndoLastChange();
      break;
    case kNextPageCommand:
      StepPage(1);
      break;
    case kPreviousPageCommand:
      StepPage(-1);
      break;
    case mLangue:
      dialogs_.Message(LangStr(80));
      break;
    case mLangueFirst:
    case mLangueFirst + 1:
    case mLangueFirst + 2:
      ChangeLanguage(qor::LanguageMenu().at(static_cast<std::size_t>(id - mLangueFirst)).language);
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
    help_.Link(header);
    return 0;
  }
  if (header.idFrom == static_cast<UINT_PTR>(tvElev)) return tree_.Notify(header);
  return 0;
}

void MainWindow::LanguageMenu() {
  RECT button{};
  ::GetWindowRect(Control(bLangue), &button);
  ::TrackPopupMenu(languageMenu_, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0,
                   window_, nullptr);
}

// ---- what the workflow shows ----

void MainWindow::SetStatus(const std::string& text) {
  ::SetWindowTextW(Control(pSb), Wide(" " + text).c_str());
}

void MainWindow::ShowFolder(const FolderRows& rows) {
  folders_.Show(rows);
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
  tree_.Show(lines);
}

void MainWindow::LineChanged(std::size_t line) {
  tree_.LineChanged(line);
}

void MainWindow::ExpandLine(std::size_t line) {
  tree_.Expand(line);
}

void MainWindow::SelectLine(std::size_t line) {
  tree_.Select(line);
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

void MainWindow::FormClose() {
  WindowSettings layout;
  layout.drive = folders_.Drive();
  layout.filesWidth = splitters_.FilesWidth();
  layout.dirHeight = splitters_.DirHeight();
  workflow_.Close(layout);
  // The normal bounds, also of a maximised window, which starts in its normal size next time.
  SaveFormPlacement(placement_, WindowState::Normal);
}

}  // namespace qor::winui
