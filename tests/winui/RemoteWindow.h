#pragma once
// What a test needs to work QORBgl.exe from another process: waiting for it, finding its
// windows, reading a control's text, and memory in its process for the messages whose answers
// travel through a pointer.

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Text_win32.h"

namespace qor::test {

// Waits for what is asked, letting the window work meanwhile.
inline bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
  }
  return done();
}

inline std::string ControlText(HWND control) {
  wchar_t text[4096] = {};
  ::SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  return platform::Utf8(text);
}

class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    memory_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    ::VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    ::CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  // The address of offset in the other process, as a message's parameter.
  LPARAM At(std::size_t offset) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(memory_) + offset);
  }
  void Write(std::size_t offset, const void* data, std::size_t n) {
    ::WriteProcessMemory(process_, reinterpret_cast<void*>(At(offset)), data, n, nullptr);
  }
  void Read(std::size_t offset, void* data, std::size_t n) const {
    ::ReadProcessMemory(process_, reinterpret_cast<void*>(At(offset)), data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

struct WindowSearch {
  DWORD process;  // 0: any
  const wchar_t* cls;
  std::wstring ending;  // of the title; empty: any
  std::vector<HWND> found;
};

// Named, for the system's calling convention (a lambda has the compiler's on 32-bit x86).
inline BOOL CALLBACK NoteWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  wchar_t name[64] = {};
  ::GetClassNameW(w, name, 64);
  DWORD process = 0;
  ::GetWindowThreadProcessId(w, &process);
  wchar_t title[512] = {};
  ::GetWindowTextW(w, title, 512);
  const std::wstring t = title;
  if ((s->process == 0 || process == s->process) && std::wstring(name) == s->cls &&
      ::IsWindowVisible(w) && t.size() >= s->ending.size() &&
      t.compare(t.size() - s->ending.size(), s->ending.size(), s->ending) == 0) {
    s->found.push_back(w);
  }
  return TRUE;
}

// The visible top-level windows of a class whose title ends so, of one process or any.
inline std::vector<HWND> FindWindows(const wchar_t* cls, const std::wstring& ending = L"",
                                     DWORD process = 0) {
  WindowSearch search{process, cls, ending, {}};
  ::EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text of a tree view's item, read through the other process's memory.
inline std::string TreeItemText(HWND tree, HTREEITEM item) {
  RemoteMemory remote(tree, sizeof(TVITEMW) + 1024 * sizeof(wchar_t));
  TVITEMW query{};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
  query.cchTextMax = 1024;
  remote.Write(0, &query, sizeof query);
  ::SendMessageW(tree, TVM_GETITEMW, 0, remote.At(0));
  wchar_t text[1024] = {};
  remote.Read(sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t));
  return platform::Utf8(text);
}

// The text of a list view's cell.
inline std::string ListCell(HWND list, int row, int column) {
  RemoteMemory remote(list, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
  LVITEMW query{};
  query.iSubItem = column;
  query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
  query.cchTextMax = 1024;
  remote.Write(0, &query, sizeof query);
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), remote.At(0));
  wchar_t text[1024] = {};
  remote.Read(sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t));
  return platform::Utf8(text);
}

// Every line of the airport tree, each airport expanded, element lines indented by three
// blanks; their items too.
inline std::vector<std::string> TreeViewLines(HWND tree, std::vector<HTREEITEM>* items) {
  auto next = [&](HTREEITEM item, WPARAM how) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  std::vector<std::string> lines;
  for (HTREEITEM airport = next(nullptr, TVGN_ROOT); airport != nullptr;
       airport = next(airport, TVGN_NEXT)) {
    lines.push_back(TreeItemText(tree, airport));
    if (items) items->push_back(airport);
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(airport));
    for (HTREEITEM element = next(airport, TVGN_CHILD); element != nullptr;
         element = next(element, TVGN_NEXT)) {
      lines.push_back("   " + TreeItemText(tree, element));
      if (items) items->push_back(element);
    }
  }
  return lines;
}

// Starts program with one argument (none when empty), as a double-click on a file would.
inline PROCESS_INFORMATION LaunchProgram(const std::string& program, const std::string& argument) {
  std::wstring command = L"\"" + platform::Wide(program) + L"\"";
  if (!argument.empty()) command += L" \"" + platform::Wide(argument) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return {};
  }
  return process;
}

}  // namespace qor::test
