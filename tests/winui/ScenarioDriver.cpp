// The window scenarios run against QORBgl.exe, worked from another process as a user works it:
// posted mouse clicks and keys, the system's keyboard for the accelerators, the dialogs found by
// their caption and answered with their buttons. Between scenarios the window is closed and its
// settings deleted.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "platform/ShellFolders.h"
#include "platform/Text_win32.h"
#include "tests/scenarios/WindowDriver.h"
#include "tests/support/TempFolder.h"
#include "tests/winui/RemoteWindow.h"
#include "winui/Ids.h"

namespace qor::test {
namespace {

namespace fs = std::filesystem;
using platform::Utf8;
using platform::Wide;

const std::string kWindow = QORBGL_WINDOW;
constexpr wchar_t kSettingsKey[] = L"Software\\QOR Soft\\QORBgl";
constexpr wchar_t kDialogClass[] = L"#32770";

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

// The visible top-level windows of a class in a process.
std::vector<HWND> WindowsOf(DWORD process, const wchar_t* cls) {
  return FindWindows(cls, L"", process);
}

// Keys pressed on the system's keyboard: the accelerators read the Ctrl and Shift keys' state.
void Press(std::initializer_list<WORD> held, WORD key) {
  std::vector<INPUT> keys;
  auto add = [&](WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    keys.push_back(input);
  };
  for (const WORD h : held) add(h, false);
  add(key, false);
  add(key, true);
  for (auto h = std::rbegin(held); h != std::rend(held); ++h) add(*h, true);
  ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

// The controls a user must reach, by their design names.
const std::map<int, std::string>& ControlNames() {
  static const std::map<int, std::string> names = {
      {winui::bLangue, "bLangue"},
      {winui::lFichier, "lFichier"},
      {winui::eFichier, "eFichier"},
      {winui::bFichier, "bFichier"},
      {winui::bImpr, "bImpr"},
      {winui::pSb, "pSb"},
      {winui::cbDrive, "cbDrive"},
      {winui::lbDir, "lbDir"},
      {winui::lbFiles, "lbFiles"},
      {winui::bSearch, "bSearch"},
      {winui::pc, "pc"},
      {winui::wbAide, "wbAide"},
      {winui::tvElev, "tvElev"},
      {winui::lSimulateur, "lSimulateur"},
      {winui::eSimulateur, "eSimulateur"},
      {winui::bParcourirSim, "bParcourirSim"},
      {winui::bCharger, "bCharger"},
      {winui::lZones, "lZones"},
      {winui::lvZones, "lvZones"},
      {winui::lAeroport, "lAeroport"},
      {winui::eAeroport, "eAeroport"},
      {winui::bChercher, "bChercher"},
      {winui::lResume, "lResume"},
      {winui::lvDefinitions, "lvDefinitions"},
      {winui::lConflits, "lConflits"},
      {winui::lvConflits, "lvConflits"},
      {winui::bAligner, "bAligner"},
      {winui::bAnnuler, "bAnnuler"},
      {winui::lEtatBib, "lEtatBib"},
      {winui::lReference, "lReference"},
      {winui::eReference, "eReference"},
      {winui::bParcourirRef, "bParcourirRef"},
  };
  return names;
}

// The smallest size a control is used at: a line of text, a list of a few rows.
SIZE UsableSize(int id) {
  switch (id) {
    case winui::lbDir:
    case winui::lbFiles:
    case winui::lvZones:
    case winui::lvDefinitions:
    case winui::lvConflits:
      return {60, 50};
    case winui::wbAide:
    case winui::tvElev:
      return {100, 100};
    default:
      return {16, 12};
  }
}

class Win32Driver final : public WindowDriver {
 public:
  Win32Driver() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    desktop_ = platform::UserDesktopFolder();
    while (!desktop_.empty() && desktop_.back() == platform::kPathDelimiter) desktop_.pop_back();
    // Backup copies of an earlier scenario would stand for the files of this one.
    std::error_code ignored;
    fs::remove_all(Utf8Path(desktop_ + platform::kPathDelimiter + "QORBgl Backup"), ignored);
  }
  ~Win32Driver() override {
    EndProcess();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  }

  std::string Workspace() const override { return workspace_.Path(); }
  std::string Desktop() const override { return desktop_; }

  void Start(const std::string& argument) override {
    EndProcess();
    process_ = Launch(argument);
    ASSERT_NE(process_.hProcess, nullptr);
    // The first window of a fresh Wine prefix waits for its font cache.
    ASSERT_TRUE(WaitFor(
        [&] {
          const auto found = WindowsOf(process_.dwProcessId, winui::kWindowClass);
          window_ = found.empty() ? nullptr : found.front();
          return window_ != nullptr;
        },
        60000));
    EXPECT_TRUE(WaitFor([&] { return Count(winui::lbDir, LB_GETCOUNT) > 0; }));
    Settle();
    CloseUnexpected();
  }

  int StartSecond(const std::string& argument) override {
    PROCESS_INFORMATION second = Launch(argument);
    DWORD code = 1;
    EXPECT_EQ(::WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
    ::GetExitCodeProcess(second.hProcess, &code);
    ::CloseHandle(second.hThread);
    ::CloseHandle(second.hProcess);
    Settle();
    CloseUnexpected();
    return static_cast<int>(code);
  }

  void Close() override {
    Act([&] { ::PostMessageW(window_, WM_CLOSE, 0, 0); });
    EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
    EndProcess();
  }

  void Expect(std::vector<Answer> answers) override { expected_ = std::move(answers); }
  std::vector<Shown> Answered() override { return std::exchange(answered_, {}); }

  std::vector<std::string> FolderRows() override {
    std::vector<std::string> rows = ListBoxTexts(winui::lbDir);
    for (std::string& row : rows) row.erase(0, row.find_first_not_of(' '));
    return rows;
  }
  std::size_t CurrentFolderRow() override {
    return static_cast<std::size_t>(Count(winui::lbDir, LB_GETCURSEL));
  }
  void EnterFolderRow(std::size_t row, Gesture how) override {
    if (how == Gesture::DoubleClick) {
      Act([&] { ClickListBox(winui::lbDir, row, true); });
    } else {
      Act([&] {
        ClickListBox(winui::lbDir, row, false);
        PostKey(Control(winui::lbDir), VK_RETURN);
      });
    }
  }
  void ClickFolderRow(std::size_t row) override {
    Act([&] { ClickListBox(winui::lbDir, row, false); });
  }
  std::vector<std::string> Files() override { return ListBoxTexts(winui::lbFiles); }
  std::optional<std::size_t> SelectedFile() override {
    const auto row = Count(winui::lbFiles, LB_GETCURSEL);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
  }
  void ChooseFile(std::size_t row) override {
    Act([&] { ClickListBox(winui::lbFiles, row, false); });
  }
  void Search() override { Click(winui::bSearch); }
  std::string FileField() override { return ControlText(Control(winui::eFichier)); }
  std::string Status() override {
    std::string status = ControlText(Control(winui::pSb));
    status.erase(0, status.find_first_not_of(' '));
    return status;
  }

  int Page() override { return static_cast<int>(Count(winui::pc, TCM_GETCURSEL)); }
  void ClickTab(int page) override {
    Act([&] {
      const HWND tabs = Control(winui::pc);
      RemoteMemory remote(window_, sizeof(RECT));
      ::SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(page), remote.At(0));
      RECT r{};
      remote.Read(0, &r, sizeof r);
      PostClick(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2, false);
    });
  }
  void PressCtrlTab() override {
    Act([&] {
      ::SetForegroundWindow(window_);
      Press({VK_CONTROL}, VK_TAB);
    });
  }

  std::vector<std::string> TreeLines() override { return TreeLines(nullptr); }
  std::optional<std::size_t> SelectedLine() override {
    std::vector<HTREEITEM> items;
    TreeLines(&items);
    const auto selected = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(Control(winui::tvElev), TVM_GETNEXTITEM, TVGN_CARET, 0));
    const auto at = std::find(items.begin(), items.end(), selected);
    if (selected == nullptr || at == items.end()) return std::nullopt;
    return static_cast<std::size_t>(at - items.begin());
  }
  bool TreeHasFocus() override { return Focus() == Control(winui::tvElev); }
  void EditLine(std::size_t line, Gesture how) override {
    std::vector<HTREEITEM> items;
    TreeLines(&items);
    ASSERT_LT(line, items.size());
    const HWND tree = Control(winui::tvElev);
    Act([&] {
      ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[line]));
      ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[line]));
      RemoteMemory remote(window_, sizeof(RECT));
      remote.Write(0, &items[line], sizeof(HTREEITEM));
      ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, remote.At(0));
      RECT r{};
      remote.Read(0, &r, sizeof r);
      PostClick(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2, how == Gesture::DoubleClick);
      if (how != Gesture::DoubleClick) PostKey(tree, how == Gesture::F2 ? VK_F2 : VK_RETURN);
    });
  }
  void PressCtrlZ() override {
    Act([&] {
      ::SetForegroundWindow(window_);
      Press({VK_CONTROL}, 'Z');
    });
  }

  void SetSimulatorField(const std::string& folder) override {
    ::SendMessageW(Control(winui::eSimulateur), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(Wide(folder).c_str()));
  }
  std::string SimulatorField() override { return ControlText(Control(winui::eSimulateur)); }
  void Load() override { Click(winui::bCharger); }
  void SetReferenceField(const std::string& file) override {
    const HWND field = Control(winui::eReference);
    ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(file).c_str()));
    // A click puts the caret in the field, and Enter reads the list it names.
    Act([&] {
      PostClick(field, 4, 4, false);
      PostKey(field, VK_RETURN);
    });
  }
  std::string ReferenceField() override { return ControlText(Control(winui::eReference)); }
  void Lookup(const std::string& airport) override {
    ::SendMessageW(Control(winui::eAeroport), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(Wide(airport).c_str()));
    Click(winui::bChercher);
  }
  std::vector<std::vector<std::string>> Rows(LibraryList list) override {
    const HWND view = ListOf(list);
    const int columns = ColumnCount(view);
    std::vector<std::vector<std::string>> rows;
    const auto count = ::SendMessageW(view, LVM_GETITEMCOUNT, 0, 0);
    for (int r = 0; r < count; ++r) {
      std::vector<std::string> cells;
      for (int c = 0; c < columns; ++c) cells.push_back(Cell(view, r, c));
      rows.push_back(cells);
    }
    return rows;
  }
  std::vector<std::string> Columns(LibraryList list) override {
    const HWND view = ListOf(list);
    std::vector<std::string> captions;
    for (int c = 0; c < ColumnCount(view); ++c) {
      RemoteMemory remote(window_, sizeof(LVCOLUMNW) + 256 * sizeof(wchar_t));
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT;
      column.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVCOLUMNW)));
      column.cchTextMax = 256;
      remote.Write(0, &column, sizeof column);
      ::SendMessageW(view, LVM_GETCOLUMNW, static_cast<WPARAM>(c), remote.At(0));
      wchar_t text[256] = {};
      remote.Read(sizeof(LVCOLUMNW), text, sizeof text - sizeof(wchar_t));
      captions.push_back(Utf8(text));
    }
    return captions;
  }
  bool ColumnVisible(LibraryList list, std::size_t column) override {
    const HWND view = ListOf(list);
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(view, LVM_GETHEADER, 0, 0));
    RemoteMemory remote(window_, sizeof(RECT));
    if (!::SendMessageW(header, HDM_GETITEMRECT, column, remote.At(0))) return false;
    RECT item{};
    remote.Read(0, &item, sizeof item);
    // The header's place on the screen follows the list's horizontal scroll.
    POINT origin{0, 0};
    ::MapWindowPoints(header, view, &origin, 1);
    RECT client{};
    ::GetClientRect(view, &client);
    return origin.x + item.left >= 0 && origin.x + item.right <= client.right;
  }
  void SelectConflict(std::size_t row) override {
    Act([&] { ClickListView(ListOf(LibraryList::Conflicts), row, false); });
  }
  bool AlignEnabled() override { return ::IsWindowEnabled(Control(winui::bAligner)) != 0; }
  void Align() override { Click(winui::bAligner); }
  void UndoAlignment() override { Click(winui::bAnnuler); }
  void OpenDefinition(std::size_t row, Gesture how) override {
    const HWND view = ListOf(LibraryList::Definitions);
    Act([&] {
      ClickListView(view, row, how == Gesture::DoubleClick);
      if (how != Gesture::DoubleClick) PostKey(view, VK_RETURN);
    });
  }
  std::string LibrarySummary() override { return ControlText(Control(winui::lResume)); }
  std::string LibraryStatus() override { return ControlText(Control(winui::lEtatBib)); }

  void ResizeTo(int width, int height) override {
    Act([&] {
      ::SetWindowPos(window_, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    });
  }
  void Maximise() override {
    Act([&] { ::ShowWindowAsync(window_, SW_MAXIMIZE); });
  }
  void Restore() override {
    Act([&] { ::ShowWindowAsync(window_, SW_RESTORE); });
  }
  std::vector<std::string> ControlsOutOfReach() override {
    RECT client{};
    ::GetClientRect(window_, &client);
    ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<std::string> out;
    for (const auto& [id, name] : ControlNames()) {
      const HWND control = Control(id);
      if (control == nullptr || !::IsWindowVisible(control)) continue;
      RECT r{};
      ::GetWindowRect(control, &r);
      if (id == winui::cbDrive) r.bottom = r.top + 20;  // its list drops below when opened
      const SIZE usable = UsableSize(id);
      if (r.left < client.left || r.top < client.top || r.right > client.right ||
          r.bottom > client.bottom || r.right - r.left < usable.cx ||
          r.bottom - r.top < usable.cy) {
        out.push_back(name);
      }
    }
    return out;
  }
  void SetStartLanguage(const std::string& code) override {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring value = Wide(code);
    ::RegSetValueExW(key, L"Langue", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
  }
  std::vector<std::string> ShownTexts() override {
    std::vector<std::string> texts;
    const std::string title = ControlText(window_);
    texts.push_back(title.substr(title.find(") ") + 2));
    for (const HWND control : ShownTextControls(false)) {
      std::string text = ControlText(control);
      text.erase(0, text.find_first_not_of(' '));  // the status line's margin
      texts.push_back(text);
    }
    const HWND tabs = Control(winui::pc);
    for (int i = 0; i < static_cast<int>(Count(winui::pc, TCM_GETITEMCOUNT)); ++i) {
      RemoteMemory remote(window_, sizeof(TCITEMW) + 256 * sizeof(wchar_t));
      TCITEMW tab{};
      tab.mask = TCIF_TEXT;
      tab.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TCITEMW)));
      tab.cchTextMax = 256;
      remote.Write(0, &tab, sizeof tab);
      ::SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), remote.At(0));
      wchar_t text[256] = {};
      remote.Read(sizeof(TCITEMW), text, sizeof text - sizeof(wchar_t));
      texts.push_back(Utf8(text));
    }
    for (const LibraryList list :
         {LibraryList::Areas, LibraryList::Definitions, LibraryList::Conflicts}) {
      if (!::IsWindowVisible(ListOf(list))) continue;
      for (const std::string& caption : Columns(list)) texts.push_back(caption);
    }
    return texts;
  }
  std::vector<std::string> CutTexts() override {
    // The window's text font, made here as the window makes it: a font of another process
    // cannot be used.
    const HDC screen = ::GetDC(nullptr);
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSX), 72);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::wcsncpy(face.lfFaceName, L"MS Sans Serif", LF_FACESIZE - 1);
    const HFONT font = ::CreateFontIndirectW(&face);
    const HGDIOBJ old = ::SelectObject(screen, font);
    std::vector<std::string> cut;
    for (const HWND control : ShownTextControls(true)) {
      std::wstring text = Wide(ControlText(control));
      std::erase(text, L'&');
      SIZE size{};
      ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
      RECT client{};
      ::GetClientRect(control, &client);
      wchar_t cls[32] = {};
      ::GetClassNameW(control, cls, 32);
      const int room = client.right - (::lstrcmpiW(cls, L"Button") == 0 ? 8 : 0);
      if (size.cx > room) cut.push_back(ControlText(control));
    }
    ::SelectObject(screen, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    return cut;
  }
  std::vector<std::string> OverlappingControls() override {
    std::vector<std::pair<std::string, RECT>> placed;
    for (const auto& [id, name] : ControlNames()) {
      const HWND control = Control(id);
      // The pages' controls lie on the tab control by design.
      if (control == nullptr || id == winui::pc || !::IsWindowVisible(control)) continue;
      RECT r{};
      ::GetWindowRect(control, &r);
      wchar_t cls[32] = {};
      ::GetClassNameW(control, cls, 32);
      // The drive box's window holds the list it drops down: what it covers is not known from
      // another process.
      if (::lstrcmpiW(cls, L"ComboBox") == 0) continue;
      placed.push_back({name, r});
    }
    std::vector<std::string> overlapping;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      for (std::size_t j = i + 1; j < placed.size(); ++j) {
        RECT both{};
        // Frames that share their edge (the folder list under the drive box) do not count.
        if (::IntersectRect(&both, &placed[i].second, &placed[j].second) &&
            both.right - both.left > 2 && both.bottom - both.top > 2) {
          overlapping.push_back(placed[i].first + "/" + placed[j].first);
        }
      }
    }
    return overlapping;
  }
  std::vector<std::string> WithoutAccessKey() override {
    std::vector<std::string> out;
    for (const auto& [id, name] : ControlNames()) {
      const HWND control = Control(id);
      if (control == nullptr || !::IsWindowVisible(control)) continue;
      wchar_t cls[32] = {};
      ::GetClassNameW(control, cls, 32);
      const auto style = ::GetWindowLongW(control, GWL_STYLE);
      const bool button = ::lstrcmpiW(cls, L"Button") == 0 && (style & BS_BITMAP) == 0;
      // A label: a text that names a field, not one the window writes (those take no '&').
      const bool label = ::lstrcmpiW(cls, L"Static") == 0 && (style & SS_NOPREFIX) == 0;
      if (!button && !label) continue;
      const std::string text = ControlText(control);
      bool marked = false;
      for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
          if (text[i + 1] != '&') marked = true;
          ++i;
        }
      }
      if (!marked) out.push_back(text.empty() ? name : text);
    }
    return out;
  }

 private:
  // The shown labels and buttons with a text (the flag's bitmap aside); with fitting, without
  // the status lines, which end in "…" by design when a path makes them long.
  std::vector<HWND> ShownTextControls(bool fitting) {
    std::vector<HWND> shown;
    for (const auto& [id, name] : ControlNames()) {
      const HWND control = Control(id);
      if (control == nullptr || !::IsWindowVisible(control)) continue;
      wchar_t cls[32] = {};
      ::GetClassNameW(control, cls, 32);
      const auto style = ::GetWindowLongW(control, GWL_STYLE);
      const bool button = ::lstrcmpiW(cls, L"Button") == 0 && (style & BS_BITMAP) == 0;
      const bool label = ::lstrcmpiW(cls, L"Static") == 0;
      if (!button && !label) continue;
      if (fitting && label && (style & SS_ENDELLIPSIS) != 0) continue;
      if (!ControlText(control).empty()) shown.push_back(control);
    }
    return shown;
  }

  static PROCESS_INFORMATION Launch(const std::string& argument) {
    const PROCESS_INFORMATION process = LaunchProgram(kWindow, argument);
    EXPECT_NE(process.hProcess, nullptr) << "QORBgl.exe did not start";
    return process;
  }

  void EndProcess() {
    if (process_.hProcess == nullptr) return;
    if (::WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
      for (const HWND box : WindowsOf(process_.dwProcessId, kDialogClass)) {
        ::PostMessageW(box, WM_CLOSE, 0, 0);
      }
      if (window_ != nullptr) ::PostMessageW(window_, WM_CLOSE, 0, 0);
      if (::WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.hProcess, 1);
        ::WaitForSingleObject(process_.hProcess, 5000);
      }
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
    process_ = {};
    window_ = nullptr;
  }

  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  LRESULT Count(int id, UINT message) const { return ::SendMessageW(Control(id), message, 0, 0); }
  HWND Focus() const {
    GUITHREADINFO input{};
    input.cbSize = sizeof input;
    ::GetGUIThreadInfo(process_.dwThreadId, &input);
    return input.hwndFocus;
  }
  HWND ListOf(LibraryList list) const {
    return Control(list == LibraryList::Areas         ? winui::lvZones
                   : list == LibraryList::Definitions ? winui::lvDefinitions
                                                      : winui::lvConflits);
  }

  // What the window shows, to see it stop changing.
  std::string Look() {
    std::string look = ControlText(Control(winui::pSb)) + '|' + FileField() + '|' +
                       ControlText(Control(winui::lEtatBib)) + '|' +
                       ControlText(Control(winui::lResume));
    for (const int id : {winui::lbDir, winui::lbFiles}) {
      look += '|' + std::to_string(Count(id, LB_GETCOUNT)) + ',' +
              std::to_string(Count(id, LB_GETCURSEL));
    }
    for (const int id : {winui::lvZones, winui::lvDefinitions, winui::lvConflits}) {
      look += '|' + std::to_string(Count(id, LVM_GETITEMCOUNT));
    }
    look += '|' + std::to_string(Count(winui::tvElev, TVM_GETCOUNT)) + '|' +
            std::to_string(Page()) + '|' +
            std::to_string(::IsWindowEnabled(Control(winui::bCharger))) +
            std::to_string(::IsWindowEnabled(Control(winui::bChercher)));
    RECT r{};
    ::GetWindowRect(window_, &r);
    look += '|' + std::to_string(r.right - r.left) + 'x' + std::to_string(r.bottom - r.top);
    return look;
  }

  // Waits until the window has done what it was asked: it answers, shows no dialog, and what
  // it shows stays the same a while (its long tasks go in steps through its queue).
  void Settle() {
    if (window_ == nullptr) return;
    std::string last;
    int same = 0;
    WaitFor(
        [&] {
          DWORD_PTR ignored = 0;
          ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
          if (!WindowsOf(process_.dwProcessId, kDialogClass).empty()) return true;
          const std::string look = Look();
          same = look == last ? same + 1 : 0;
          last = look;
          return same >= 6;
        },
        60000);
  }

  // An action of the user, then the dialogs it opens answered as expected.
  void Act(const std::function<void()>& action) {
    action();
    std::vector<Answer> expected = std::exchange(expected_, {});
    for (const Answer& answer : expected) {
      HWND box = nullptr;
      if (!WaitFor([&] {
            const auto boxes = WindowsOf(process_.dwProcessId, kDialogClass);
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
          })) {
        ADD_FAILURE() << "no dialog \"" << answer.caption << "\" opened";
        return;
      }
      wchar_t caption[256] = {};
      ::GetWindowTextW(box, caption, 256);
      const HWND edit = ::GetDlgItem(box, winui::kDialogEdit);
      answered_.push_back({Utf8(caption), ControlText(::GetDlgItem(box, winui::kDialogText)),
                           edit != nullptr ? ControlText(edit) : std::string()});
      if (answered_.back().caption != answer.caption) {
        ADD_FAILURE() << "the dialog \"" << answered_.back().caption << "\" opened instead of \""
                      << answer.caption << "\": " << answered_.back().text;
        Dismiss(box);
        Settle();
        CloseUnexpected();
        return;
      }
      if (answer.typed) {
        ::SendMessageW(::GetDlgItem(box, winui::kDialogEdit), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(Wide(*answer.typed).c_str()));
      }
      const int button = answer.button == Answer::Ok       ? IDOK
                         : answer.button == Answer::Cancel ? IDCANCEL
                         : answer.button == Answer::Yes    ? IDYES
                                                           : IDNO;
      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      // Gone before the next one is looked for: it may bear the same caption.
      WaitFor([&] { return !::IsWindow(box); });
    }
    Settle();
    CloseUnexpected();
  }

  void CloseUnexpected() {
    for (int round = 0; round < 5; ++round) {
      const auto boxes = WindowsOf(process_.dwProcessId, kDialogClass);
      if (boxes.empty()) return;
      wchar_t caption[256] = {};
      ::GetWindowTextW(boxes.front(), caption, 256);
      ADD_FAILURE() << "unexpected dialog \"" << Utf8(caption)
                    << "\": " << ControlText(::GetDlgItem(boxes.front(), winui::kDialogText));
      Dismiss(boxes.front());
      Settle();
    }
  }

  static void Dismiss(HWND box) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (!WaitFor([&] { return !::IsWindow(box); }, 2000)) {
      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
      WaitFor([&] { return !::IsWindow(box); }, 2000);
    }
  }

  void Click(int id) {
    Act([&] { ::PostMessageW(Control(id), BM_CLICK, 0, 0); });
  }

  static void PostClick(HWND control, int x, int y, bool twice) {
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    ::PostMessageW(control, WM_LBUTTONUP, 0, At(x, y));
    if (!twice) return;
    ::PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
    ::PostMessageW(control, WM_LBUTTONUP, 0, At(x, y));
  }

  static void PostKey(HWND control, WORD key) {
    ::PostMessageW(control, WM_KEYDOWN, key, 1);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
  }

  void ClickListBox(int id, std::size_t row, bool twice) {
    const HWND list = Control(id);
    ::SendMessageW(list, LB_SETTOPINDEX, row, 0);
    const auto top = ::SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    const auto height = ::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    const int y = static_cast<int>((static_cast<LRESULT>(row) - top) * height + height / 2);
    PostClick(list, 8, y, twice);
  }

  void ClickListView(HWND view, std::size_t row, bool twice) {
    ::SendMessageW(view, LVM_ENSUREVISIBLE, row, FALSE);
    RemoteMemory remote(window_, sizeof(RECT));
    RECT r{LVIR_LABEL, 0, 0, 0};
    remote.Write(0, &r, sizeof r);
    ::SendMessageW(view, LVM_GETITEMRECT, row, remote.At(0));
    remote.Read(0, &r, sizeof r);
    PostClick(view, r.left + 4, (r.top + r.bottom) / 2, twice);
  }

  std::vector<std::string> ListBoxTexts(int id) const {
    std::vector<std::string> texts;
    const HWND list = Control(id);
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[1024] = {};
      ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      texts.push_back(Utf8(text));
    }
    return texts;
  }

  static int ColumnCount(HWND view) {
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(view, LVM_GETHEADER, 0, 0));
    return static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  }

  std::string Cell(HWND view, int row, int column) const { return ListCell(view, row, column); }

  std::vector<std::string> TreeLines(std::vector<HTREEITEM>* items) {
    return TreeViewLines(Control(winui::tvElev), items);
  }

  TempFolder workspace_;
  std::string desktop_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  std::vector<Answer> expected_;
  std::vector<Shown> answered_;
};

class Win32Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Win32Scenario, Runs) {
  const auto& all = WindowScenarios();
  const auto scenario =
      std::find_if(all.begin(), all.end(), [&](const Scenario& s) { return s.name == GetParam(); });
  ASSERT_NE(scenario, all.end());
  Win32Driver driver;
  scenario->run(driver);
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const Scenario& scenario : WindowScenarios()) names.push_back(scenario.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Win32, Win32Scenario, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace qor::test
