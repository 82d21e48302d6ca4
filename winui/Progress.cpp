#include "winui/Progress.h"

#include <commctrl.h>

#include <memory>

#include "platform/Text_win32.h"
#include "winui/Ids.h"

namespace qor::winui {

namespace {

constexpr wchar_t kClass[] = L"QORBglProgress";

LRESULT CALLBACK ProgressProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* cancel = reinterpret_cast<std::function<void()>*>(::GetWindowLongPtrW(box, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && cancel != nullptr) (*cancel)();
      return 0;
    case WM_CLOSE:
      if (cancel != nullptr) (*cancel)();  // closed by its frame: cancelled as well
      return 0;
    case WM_NCDESTROY:
      delete cancel;
      ::SetWindowLongPtrW(box, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(box, message, wParam, lParam);
}

}  // namespace

HWND MakeProgressBox(HWND owner, std::function<void()> cancel) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  static const bool registered = [instance] {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = ProgressProc;
    cls.hInstance = instance;
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClass;
    return ::RegisterClassExW(&cls) != 0;
  }();
  if (!registered) return nullptr;
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  auto px = [dpi](int n) { return ::MulDiv(n, dpi, 96); };
  RECT around{};
  ::GetWindowRect(owner, &around);
  const int w = px(360);
  const int h = px(130);
  const HWND box = ::CreateWindowExW(
      WS_EX_DLGMODALFRAME, kClass, L"QORBgl", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
      around.left + (around.right - around.left - w) / 2,
      around.top + (around.bottom - around.top - h) / 2, w, h, owner, nullptr, instance, nullptr);
  ::SetWindowLongPtrW(box, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new std::function<void()>(std::move(cancel))));
  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  const HWND text =
      ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, px(12), px(10), px(330),
                        px(18), box, reinterpret_cast<HMENU>(kDialogText), instance, nullptr);
  ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, px(12), px(34), px(330), px(18),
                    box, reinterpret_cast<HMENU>(kProgressBar), instance, nullptr);
  const HWND button = ::CreateWindowExW(
      0, L"BUTTON", L"Annuler", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, px(262),
      px(62), px(80), px(24), box, reinterpret_cast<HMENU>(IDCANCEL), instance, nullptr);
  ::SendMessageW(text, WM_SETFONT, font, FALSE);
  ::SendMessageW(button, WM_SETFONT, font, FALSE);
  return box;
}

void UpdateProgressBox(HWND box, const std::string& text, std::size_t done, std::size_t total) {
  if (box == nullptr) return;
  ::SetDlgItemTextW(box, kDialogText, platform::Wide(text).c_str());
  const HWND bar = ::GetDlgItem(box, kProgressBar);
  // The bar counts in thousandths: its range is a 32-bit integer, the lines may be more.
  ::SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
  ::SendMessageW(bar, PBM_SETPOS, total == 0 ? 0 : static_cast<WPARAM>(done * 1000 / total), 0);
}

}  // namespace qor::winui
