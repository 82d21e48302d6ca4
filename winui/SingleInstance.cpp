#include "winui/SingleInstance.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "lang/Tr.h"
#include "platform/Text_win32.h"
#include "winui/Ids.h"

namespace qor::winui {

namespace {

BOOL CALLBACK FindRunning(HWND window, LPARAM found) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring(name) != kWindowClass) return TRUE;
  std::wstring title(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  title.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
  // The title ends with text 1 in the language the running window speaks, whichever it is.
  std::vector<std::wstring> endings = {kTitleEnding};
  std::size_t count = 0;
  const lang::Entry* entries = lang::Entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (entries[i].context != "1") continue;
    for (const std::string_view text : {entries[i].english, entries[i].german}) {
      if (!text.empty()) endings.push_back(platform::Wide(std::string(text)));
    }
  }
  for (const std::wstring& ending : endings) {
    if (title.size() >= ending.size() &&
        title.compare(title.size() - ending.size(), ending.size(), ending) == 0) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace

bool ActivatePrevInstance(const std::vector<std::string>& arguments) {
  HWND running = nullptr;
  ::EnumWindows(FindRunning, reinterpret_cast<LPARAM>(&running));
  if (running == nullptr) return false;
  // The arguments as one text, each followed by a blank, as the hand-over always gave them.
  std::wstring text;
  for (const std::string& argument : arguments) text += platform::Wide(argument) + L" ";
  const HWND target = ::GetLastActivePopup(running);
  if (text.size() <= 255) {
    const ATOM atom = ::GlobalAddAtomW(text.c_str());
    ::SendMessageW(running, kHandOverMessage, atom, 0);
    if (atom != 0) ::GlobalDeleteAtom(atom);
  } else {
    COPYDATASTRUCT data{kHandOverMessage, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                        text.data()};
    ::SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
  ::BringWindowToTop(target);
  ::SetForegroundWindow(target);
  return true;
}

}  // namespace qor::winui
