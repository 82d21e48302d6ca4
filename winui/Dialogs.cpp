#include "winui/Dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "lang/Tr.h"
#include "platform/File.h"
#include "platform/Text_win32.h"
#include "winui/Ids.h"
#include "workflow/LangStr.h"

namespace qor::winui {

namespace {

// A filter as the program words it, "Listes (*.csv *.dat)", as the file dialogs want it: the
// text, then its patterns "*.csv;*.dat", each ended by a null.
std::wstring FilterPair(const std::string& filter) {
  const std::wstring text = platform::Wide(filter);
  const auto open = text.find(L'(');
  const auto close = text.find(L')');
  std::wstring spec = open != std::wstring::npos && close > open
                          ? text.substr(open + 1, close - open - 1)
                          : std::wstring(L"*.*");
  std::replace(spec.begin(), spec.end(), L' ', L';');
  return text + L'\0' + spec + L'\0';
}

// The folder dialog's callback (the system's calling convention, which 32-bit Windows keeps
// apart from C++'s): the dialog opens on the folder named by data.
int CALLBACK OpenOnFolder(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
  }
  return 0;
}

// A dialog made in memory: the template's header, then its controls, each word-aligned as
// DialogBoxIndirectParamW reads them. Positions are set when the dialog opens, from the text.
class DialogTemplate {
 public:
  explicit DialogTemplate(const std::wstring& caption) {
    Align(4);
    Put(static_cast<DWORD>(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION |
                           WS_SYSMENU));
    Put(static_cast<DWORD>(0));  // extended style
    countAt_ = words_.size();
    Put(static_cast<WORD>(0));  // the count of controls, filled as they come
    Put(static_cast<WORD>(0));  // x, y, cx, cy: set at WM_INITDIALOG
    Put(static_cast<WORD>(0));
    Put(static_cast<WORD>(200));
    Put(static_cast<WORD>(60));
    Put(static_cast<WORD>(0));  // no menu
    Put(static_cast<WORD>(0));  // the standard dialog class
    PutText(caption);
    Put(static_cast<WORD>(8));  // the font's size in points, then its name
    PutText(L"MS Shell Dlg");
  }

  // A control of a predefined class: 0x0080 button, 0x0081 edit, 0x0082 static.
  void Add(WORD kind, int id, DWORD style, const std::wstring& text) {
    Align(4);
    Put(static_cast<DWORD>(style | WS_CHILD | WS_VISIBLE));
    Put(static_cast<DWORD>(0));
    for (int i = 0; i < 4; ++i) Put(static_cast<WORD>(1));  // placed at WM_INITDIALOG
    Put(static_cast<WORD>(id));
    Put(static_cast<WORD>(0xFFFF));
    Put(kind);
    PutText(text);
    Put(static_cast<WORD>(0));  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Put(WORD w) { words_.push_back(w); }
  void Put(DWORD d) {
    words_.push_back(LOWORD(d));
    words_.push_back(HIWORD(d));
  }
  void PutText(const std::wstring& text) {
    for (const wchar_t c : text) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }
  void Align(std::size_t bytes) {
    while ((words_.size() * sizeof(WORD)) % bytes != 0) words_.push_back(0);
  }

  std::vector<WORD> words_;
  std::size_t countAt_ = 0;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;
constexpr int kIcon = 303;

struct Box {
  std::wstring text;
  std::vector<std::pair<int, std::wstring>> buttons;
  LPCWSTR icon = nullptr;
  std::wstring* input = nullptr;  // an input box's text, in and out
  std::size_t defaultButton = 0;  // the index of the button Enter presses
  HWND owner = nullptr;
};

int Scaled(HWND window, int pixels) {
  const HDC dc = ::GetDC(window);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
  ::ReleaseDC(window, dc);
  return ::MulDiv(pixels, dpi, 96);
}

// Lays the box out around its text: icon and text above, the buttons right-aligned below.
void Place(HWND dialog, const Box& box) {
  const HWND text = ::GetDlgItem(dialog, kDialogText);
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
  const HDC dc = ::GetDC(dialog);
  const HGDIOBJ old = ::SelectObject(dc, font);
  RECT measured{0, 0, Scaled(dialog, box.input ? 360 : 420), 0};
  ::DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  ::SelectObject(dc, old);
  ::ReleaseDC(dialog, dc);

  const int margin = Scaled(dialog, 12);
  const int iconSize = box.icon ? ::GetSystemMetrics(SM_CXICON) : 0;
  const int textLeft = margin + (box.icon ? iconSize + margin : 0);
  const int buttonWidth = Scaled(dialog, 80);
  const int buttonHeight = Scaled(dialog, 24);
  const int editHeight = box.input ? Scaled(dialog, 22) : 0;
  int width =
      std::max<int>(textLeft + measured.right + margin,
                    margin + static_cast<int>(box.buttons.size()) * (buttonWidth + margin / 2));
  if (box.input) width = std::max(width, Scaled(dialog, 380));
  int y = margin;
  const int textHeight = std::max<int>(measured.bottom, iconSize);
  ::MoveWindow(text, textLeft, y, width - textLeft - margin, measured.bottom, FALSE);
  if (box.icon) ::MoveWindow(::GetDlgItem(dialog, kIcon), margin, y, iconSize, iconSize, FALSE);
  y += textHeight + margin;
  if (box.input) {
    ::MoveWindow(::GetDlgItem(dialog, kDialogEdit), margin, y, width - 2 * margin, editHeight,
                 FALSE);
    y += editHeight + margin;
  }
  int x = width - margin - static_cast<int>(box.buttons.size()) * (buttonWidth + margin / 2) +
          margin / 2;
  for (const auto& [id, caption] : box.buttons) {
    ::MoveWindow(::GetDlgItem(dialog, id), x, y, buttonWidth, buttonHeight, FALSE);
    x += buttonWidth + margin / 2;
  }
  y += buttonHeight + margin;

  // The frame around that client area, centred on the window it belongs to.
  RECT frame{0, 0, width, y};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  RECT around{};
  if (box.owner != nullptr && ::IsWindowVisible(box.owner)) {
    ::GetWindowRect(box.owner, &around);
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  ::MoveWindow(dialog, around.left + (around.right - around.left - w) / 2,
               around.top + (around.bottom - around.top - h) / 2, w, h, TRUE);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* box = reinterpret_cast<Box*>(lParam);
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      if (box->icon) {
        ::SendDlgItemMessageW(dialog, kIcon, STM_SETICON,
                              reinterpret_cast<WPARAM>(::LoadIconW(nullptr, box->icon)), 0);
      }
      Place(dialog, *box);
      if (box->input) {
        const HWND edit = ::GetDlgItem(dialog, kDialogEdit);
        ::SetWindowTextW(edit, box->input->c_str());
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        return FALSE;  // the focus is set
      }
      // The default button takes the focus: Enter presses it whichever button the dialog
      // manager would have focused first.
      const int id = box->buttons[box->defaultButton].first;
      ::SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
      ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, id)),
                     TRUE);
      return FALSE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      auto* box = reinterpret_cast<Box*>(::GetWindowLongPtrW(dialog, DWLP_USER));
      const bool isButton = std::any_of(box->buttons.begin(), box->buttons.end(),
                                        [id](const auto& b) { return b.first == id; });
      if (isButton || id == IDCANCEL) {
        if (box->input && id == IDOK) {
          const HWND edit = ::GetDlgItem(dialog, kDialogEdit);
          std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
          text.resize(static_cast<std::size_t>(
              ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
          *box->input = text;
        }
        // Escape and the close box answer with the box's last button (No or Cancel).
        ::EndDialog(dialog, id == IDCANCEL && !isButton ? box->buttons.back().first : id);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

int Show(const std::wstring& caption, Box& box) {
  DialogTemplate layout(caption);
  if (box.icon) layout.Add(kStatic, kIcon, SS_ICON, L"");
  layout.Add(kStatic, kDialogText, SS_LEFT | SS_NOPREFIX, box.text);
  if (box.input) layout.Add(kEdit, kDialogEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, L"");
  for (std::size_t i = 0; i < box.buttons.size(); ++i) {
    const auto& [id, text] = box.buttons[i];
    layout.Add(kButton, id,
               WS_TABSTOP | (i == box.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), text);
  }
  return static_cast<int>(::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), layout.Get(),
                                                    box.owner, BoxProc,
                                                    reinterpret_cast<LPARAM>(&box)));
}

// Message boxes say CR LF between lines; the static control wants the same.
std::wstring BoxText(const std::string& text) {
  return platform::Wide(text);
}

}  // namespace

void Win32Dialogs::Message(const std::string& text) {
  MsgBox(text, "QORBgl", kOk);
}

int Win32Dialogs::MsgBox(const std::string& text, const std::string& caption, int flags) {
  Box box;
  box.text = BoxText(text);
  box.owner = owner_;
  switch (flags & 0xF0) {
    case kIconStop:
      box.icon = IDI_ERROR;
      break;
    case kIconQuestion:
      box.icon = IDI_QUESTION;
      break;
    case kIconExclamation:
      box.icon = IDI_WARNING;
      break;
    case kIconInformation:
      box.icon = IDI_INFORMATION;
      break;
    default:
      break;
  }
  switch (flags & 0x0F) {
    case kOkCancel:
      box.buttons = {{IDOK, L"OK"}, {IDCANCEL, platform::Wide(Tr("Annuler"))}};
      break;
    case kYesNo:
      box.buttons = {{IDYES, platform::Wide(Tr("&Oui"))}, {IDNO, platform::Wide(Tr("&Non"))}};
      break;
    default:
      box.buttons = {{IDOK, L"OK"}};
      break;
  }
  if ((flags & kDefButton2) != 0 && box.buttons.size() > 1) box.defaultButton = 1;
  return Show(platform::Wide(caption), box);
}

bool Win32Dialogs::InputBox(const std::string& caption, const std::string& prompt,
                            std::string& text) {
  std::wstring input = platform::Wide(text);
  Box box;
  box.text = platform::Wide(prompt);
  box.input = &input;
  box.owner = owner_;
  box.buttons = {{IDOK, L"OK"}, {IDCANCEL, platform::Wide(Tr("Annuler"))}};
  if (Show(platform::Wide(caption), box) != IDOK) return false;
  text = platform::Utf8(input);
  return true;
}

bool Win32Dialogs::OpenFileName(std::string& path) {
  std::wstring file(32768, L'\0');
  const std::wstring folder = platform::Wide(path);
  // The filter's names and patterns, each ended by a null, the list by a second one.
  std::wstring filter = platform::Wide(LangStr(64));
  filter +=
      std::wstring(L"\0*.bgl\0", 7) + platform::Wide(LangStr(65)) + std::wstring(L"\0*.*\0", 6);
  const std::wstring title = platform::Wide(LangStr(63));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = L"bgl";
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NODEREFERENCELINKS | OFN_ENABLESIZING |
                 OFN_EXPLORER;
  if (!::GetOpenFileNameW(&dialog)) return false;
  path = platform::Utf8(file.c_str());
  return true;
}

bool Win32Dialogs::OpenFile(const std::string& caption, const std::string& filter,
                            std::string& path) {
  std::wstring file = platform::Wide(path);
  file.resize(32768, L'\0');
  // Every file is offered after the filter's own.
  const std::wstring filters =
      FilterPair(filter) + platform::Wide(LangStr(65)) + std::wstring(L"\0*.*\0", 6);
  const std::wstring title = platform::Wide(caption);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
  if (!::GetOpenFileNameW(&dialog)) return false;
  path = platform::Utf8(file.c_str());
  return true;
}

bool Win32Dialogs::SaveFileName(const std::string& caption, const std::string& filter,
                                std::string& path) {
  std::wstring file = platform::Wide(path);
  file.resize(32768, L'\0');
  const std::wstring filters = FilterPair(filter) + L'\0';
  const std::wstring title = platform::Wide(caption);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
  if (!::GetSaveFileNameW(&dialog)) return false;
  path = platform::Utf8(file.c_str());
  return true;
}

bool Win32Dialogs::BrowseFolder(const std::string& caption, std::string& folder) {
  const std::wstring current = platform::Wide(folder);
  const std::wstring title = platform::Wide(caption);
  BROWSEINFOW info{};
  info.hwndOwner = owner_;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = OpenOnFolder;  // the dialog opens on the folder given
  info.lParam = current.empty() ? 0 : reinterpret_cast<LPARAM>(current.c_str());
  // The new-style dialog is made of COM objects.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
  std::wstring path;
  if (chosen != nullptr) {
    path.assign(32768, L'\0');  // a path of any length
    if (::SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()),
                                GPFIDL_DEFAULT)) {
      path.resize(path.find(L'\0'));
    } else {
      path.clear();
    }
    ::CoTaskMemFree(chosen);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  if (path.empty()) return false;
  folder = platform::Utf8(path);
  return true;
}

HWND AddHints(HWND window, const std::vector<std::pair<int, std::string>>& hints) {
  const HWND tips =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                        0, window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  for (const auto& [id, hint] : hints) {
    std::wstring text = platform::Wide(hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(window, id));
    tool.lpszText = text.data();
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return tips;
}

}  // namespace qor::winui
