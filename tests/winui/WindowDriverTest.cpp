// QORBgl.exe worked as a user works it, from another process: the driver starts the window on
// a copy of the sample scenery, finds it by its title, and sends its controls the messages a
// mouse and a keyboard would. What it shows is compared with what qorbgl-cli.exe prints.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "platform/File.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "platform/Text_win32.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"
#include "winui/Ids.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using platform::Utf8;
using platform::Wide;

const std::string kWindow = QORBGL_WINDOW;
const std::string kCli = QORBGL_CLI;
const std::string kSamples = QORBGL_SAMPLES;
constexpr char kSettingsKey[] = "Software\\QOR Soft\\QORBgl";

// Waits for what is asked, letting the window work meanwhile.
bool WaitFor(const std::function<bool()>& done, int seconds = 10) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Memory in the window's process, for the messages whose answers travel through a pointer.
class Remote {
 public:
  explicit Remote(HWND window, std::size_t size) : size_(size) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    memory_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~Remote() {
    ::VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    ::CloseHandle(process_);
  }
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;
  char* At(std::size_t offset) const { return static_cast<char*>(memory_) + offset; }
  void Write(std::size_t offset, const void* data, std::size_t n) {
    ::WriteProcessMemory(process_, At(offset), data, n, nullptr);
  }
  void Read(std::size_t offset, void* data, std::size_t n) const {
    ::ReadProcessMemory(process_, At(offset), data, n, nullptr);
  }

 private:
  std::size_t size_;
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

class WindowDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A copy of the samples in a folder whose name holds accents and a blank.
    folder_ = dir_ / "Scènes d'essai";
    fs::create_directory(test::Utf8Path(folder_));
    for (const auto& entry : fs::directory_iterator(test::Utf8Path(kSamples))) {
      fs::copy_file(entry.path(), test::Utf8Path(folder_) / entry.path().filename());
    }
    // The elevation page at start, so that a file opened shows its tree.
    platform::RegWriteValue(platform::RegRoot::CurrentUser, kSettingsKey, "Onglet",
                            RegValue::Text("1"));
  }
  void TearDown() override {
    if (process_.hProcess != nullptr) {
      if (window_ != nullptr) ::PostMessageW(window_, WM_CLOSE, 0, 0);
      if (::WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.hProcess, 1);
      }
      ::CloseHandle(process_.hThread);
      ::CloseHandle(process_.hProcess);
    }
  }

  // Starts the window with one argument, or hands it over when one runs; the process.
  PROCESS_INFORMATION Start(const std::string& argument) {
    std::wstring command = L"\"" + Wide(kWindow) + L"\" \"" + Wide(argument) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    return process;
  }
  struct TitleSearch {
    const wchar_t* cls;
    std::wstring ending;
    HWND found = nullptr;
  };
  // Named, for the system's calling convention (a lambda has the compiler's on 32-bit x86).
  static BOOL CALLBACK NoteTitled(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<TitleSearch*>(p);
    wchar_t name[64] = {};
    ::GetClassNameW(w, name, 64);
    wchar_t title[512] = {};
    ::GetWindowTextW(w, title, 512);
    const std::wstring t = title;
    if (std::wstring(name) == s->cls && ::IsWindowVisible(w) && t.size() >= s->ending.size() &&
        t.compare(t.size() - s->ending.size(), s->ending.size(), s->ending) == 0) {
      s->found = w;
      return FALSE;
    }
    return TRUE;
  }
  static HWND FindWindowTitled(const wchar_t* cls, const std::wstring& ending) {
    TitleSearch search{cls, ending};
    ::EnumWindows(NoteTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  static std::string Text(HWND control) {
    wchar_t text[4096] = {};
    ::SendMessageW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return Utf8(text);
  }
  std::vector<std::string> ListedFiles() const {
    std::vector<std::string> names;
    const auto count = ::SendMessageW(Control(winui::lbFiles), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t name[1024] = {};
      ::SendMessageW(Control(winui::lbFiles), LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(name));
      names.push_back(Utf8(name));
    }
    return names;
  }
  void ChooseFile(int row) {
    const HWND list = Control(winui::lbFiles);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(winui::lbFiles, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
  }
  std::string ItemText(HTREEITEM item) const {
    Remote remote(window_, sizeof(TVITEMW) + 1024 * sizeof(wchar_t));
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
    query.cchTextMax = 1024;
    remote.Write(0, &query, sizeof query);
    ::SendMessageW(Control(winui::tvElev), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)));
    wchar_t text[1024] = {};
    remote.Read(sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t));
    return Utf8(text);
  }
  // Every line of the tree as the window shows it, each airport opened, elements indented
  // as qorbgl-cli list indents them; the items too.
  std::vector<std::string> TreeLines(std::vector<HTREEITEM>* items = nullptr) {
    const HWND tree = Control(winui::tvElev);
    std::vector<std::string> lines;
    for (auto airport =
             reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         airport != nullptr;
         airport = reinterpret_cast<HTREEITEM>(
             ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(airport)))) {
      lines.push_back(ItemText(airport));
      if (items) items->push_back(airport);
      ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(airport));
      for (auto element = reinterpret_cast<HTREEITEM>(::SendMessageW(
               tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(airport)));
           element != nullptr;
           element = reinterpret_cast<HTREEITEM>(::SendMessageW(
               tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(element)))) {
        lines.push_back("   " + ItemText(element));
        if (items) items->push_back(element);
      }
    }
    return lines;
  }
  // The dialog of the given caption, once it is open.
  HWND Dialog(const std::wstring& caption) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowTitled(L"#32770", caption)) != nullptr; });
    return found;
  }
  static void Answer(HWND dialog, int button, const std::string& text = "") {
    if (!text.empty()) {
      ::SendMessageW(::GetDlgItem(dialog, winui::kDialogEdit), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    // Gone before the next dialog is looked for: it may bear the same caption.
    WaitFor([&] { return !::IsWindow(dialog); });
  }
  // A click on a tab of the page control, as the mouse gives it.
  void ClickTab(int index) {
    const HWND tabs = Control(winui::pc);
    Remote remote(window_, sizeof(RECT));
    ::SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(remote.At(0)));
    RECT r{};
    remote.Read(0, &r, sizeof r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(tabs, WM_LBUTTONUP, 0, at);
  }
  void Click(int id) {
    // Posted: a button may open a modal box, and a sent click would wait for it to close.
    ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Control(id)));
  }
  int RowCount(int list) const {
    return static_cast<int>(::SendMessageW(Control(list), LVM_GETITEMCOUNT, 0, 0));
  }
  std::string Cell(int list, int row, int column) const {
    Remote remote(window_, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
    LVITEMW query{};
    query.iSubItem = column;
    query.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
    query.cchTextMax = 1024;
    remote.Write(0, &query, sizeof query);
    ::SendMessageW(Control(list), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(remote.At(0)));
    wchar_t text[1024] = {};
    remote.Read(sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t));
    return Utf8(text);
  }
  void SelectRow(int list, int row) {
    Remote remote(window_, sizeof(LVITEMW));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(0, &state, sizeof state);
    ::SendMessageW(Control(list), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(remote.At(0)));
  }
  void DoubleClickRow(int list, int row) {
    Remote remote(window_, sizeof(RECT));
    RECT r{LVIR_LABEL, 0, 0, 0};
    remote.Write(0, &r, sizeof r);
    ::SendMessageW(Control(list), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Read(0, &r, sizeof r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageW(Control(list), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(Control(list), WM_LBUTTONUP, 0, at);
    ::PostMessageW(Control(list), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageW(Control(list), WM_LBUTTONUP, 0, at);
  }
  // A double-click on a line, as the mouse gives it: the line is selected, then the click.
  void DoubleClick(HTREEITEM item) {
    const HWND tree = Control(winui::tvElev);
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Remote remote(window_, sizeof(RECT));
    remote.Write(0, &item, sizeof item);
    ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.At(0)));
    RECT r{};
    remote.Read(0, &r, sizeof r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(tree, WM_LBUTTONUP, 0, at);
    ::PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageW(tree, WM_LBUTTONUP, 0, at);
  }

  test::TempFolder dir_;
  std::string folder_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

TEST_F(WindowDriverTest, TheWindowListsOpensEditsSearchesAndHandsOver) {
  process_ = Start(folder_);
  ASSERT_TRUE(WaitFor(
      [&] {
        return (window_ = FindWindowTitled(winui::kWindowClass, winui::kTitleEnding)) != nullptr;
      },
      60));  // the first window of a fresh Wine prefix waits for its font cache
  // The folder's files, as qorbgl-cli.exe lists them.
  const test::ProgramRun files = test::RunProgram(kCli, {"files", folder_});
  ASSERT_EQ(files.exit, 0) << files.err;
  ASSERT_TRUE(WaitFor([&] { return ListedFiles() == Lines(files.out); }))
      << files.out << "\nlisted " << ListedFiles().size();

  // A file chosen fills the tree with the lines qorbgl-cli.exe prints, in that order.
  const std::string file = folder_ + platform::kPathDelimiter + ListedFiles()[0];
  ChooseFile(0);
  ASSERT_TRUE(WaitFor([&] { return Text(Control(winui::eFichier)) == file; }));
  const test::ProgramRun list = test::RunProgram(kCli, {"list", file});
  ASSERT_EQ(list.exit, 0) << list.err;
  std::vector<HTREEITEM> items;
  ASSERT_TRUE(WaitFor([&] {
    items.clear();
    return TreeLines(&items) == Lines(list.out);
  }));

  // Where each line's elevation lies in the file, in the order of the lines.
  const test::ProgramRun json = test::RunProgram(kCli, {"list", "--json", file});
  ASSERT_EQ(json.exit, 0) << json.err;
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  std::vector<std::int64_t> offsets, elevations;
  for (const nlohmann::json& airport : parsed.at("airports")) {
    offsets.push_back(airport.at("offset").get<std::int64_t>());
    elevations.push_back(airport.at("elevation_mm").get<std::int64_t>());
    for (const nlohmann::json& element : airport.at("elements")) {
      offsets.push_back(element.at("offset").get<std::int64_t>());
      elevations.push_back(element.at("elevation_mm").get<std::int64_t>());
    }
  }
  ASSERT_EQ(offsets.size(), items.size());

  // A runway edited: "433,5" typed and confirmed, the backup announced; its four bytes change, no
  // others.
  const test::Bytes before = test::ReadFile(file);
  const std::vector<std::string> lines = Lines(list.out);
  std::size_t runway = 0;
  while (runway < lines.size() && lines[runway].rfind("   Runway", 0) != 0) ++runway;
  ASSERT_LT(runway, lines.size());
  DoubleClick(items[runway]);
  HWND box = Dialog(L"Modification d'élévation");
  ASSERT_NE(box, nullptr);
  Answer(box, IDOK, "433,5");
  HWND question = Dialog(L"Attention");  // a change of more than ten metres is confirmed
  ASSERT_NE(question, nullptr);
  Answer(question, IDOK);
  HWND message = Dialog(L"QORBgl");
  ASSERT_NE(message, nullptr);
  EXPECT_NE(Text(::GetDlgItem(message, winui::kDialogText)).find("QORBgl Backup"),
            std::string::npos);
  Answer(message, IDOK);
  test::Bytes after;
  ASSERT_TRUE(WaitFor([&] { return (after = test::ReadFile(file)) != before; }));
  ASSERT_EQ(after.size(), before.size());
  const auto at = static_cast<std::size_t>(offsets[runway]);
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i < at || i >= at + 4) {
      EXPECT_EQ(before[i], after[i]) << "byte " << i;
    }
  }
  const std::uint32_t field =
      static_cast<std::uint32_t>(after[at] | after[at + 1] << 8 | after[at + 2] << 16 |
                                 static_cast<std::uint32_t>(after[at + 3]) << 24);
  EXPECT_EQ(field, 433500u);
  const std::string backup =
      platform::UserDesktopFolder() + "QORBgl Backup" + platform::kPathDelimiter + ListedFiles()[0];
  EXPECT_EQ(test::ReadFile(backup), before);
  elevations[runway] = 433500;

  // Its airport's value kept: nothing written. The elements' question, with one 10 m away or
  // more, warns and makes Non the default, which Enter presses: nothing written either.
  std::size_t airport = runway;
  while (lines[airport].rfind("   ", 0) == 0) --airport;
  std::int64_t farthest = 0;
  for (std::size_t i = airport + 1; i < lines.size() && lines[i].rfind("   ", 0) == 0; ++i) {
    farthest = std::max(farthest, std::abs(elevations[i] - elevations[airport]));
  }
  ASSERT_GE(farthest, 10000) << lines[airport];
  DoubleClick(items[airport]);
  Answer(Dialog(L"Modification d'élévation"), IDOK);  // the value offered
  HWND elements = Dialog(L"Autres éléments");
  ASSERT_NE(elements, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(elements, winui::kDialogText)).rfind("Changement de plus de 10", 0),
            0u);
  EXPECT_EQ(LOWORD(::SendMessageW(elements, DM_GETDEFID, 0, 0)), IDNO);
  GUITHREADINFO input{};
  input.cbSize = sizeof input;
  ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(elements, nullptr), &input));
  EXPECT_EQ(::GetDlgCtrlID(input.hwndFocus), IDNO);
  ::PostMessageW(input.hwndFocus, WM_KEYDOWN, VK_RETURN, 0);
  ::PostMessageW(input.hwndFocus, WM_KEYUP, VK_RETURN, 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(elements); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(test::ReadFile(file), after);

  // A malformed value is refused, the box comes again, and nothing is written.
  DoubleClick(items[runway]);
  Answer(Dialog(L"Modification d'élévation"), IDOK, "abc");
  message = Dialog(L"QORBgl");
  ASSERT_NE(message, nullptr);
  EXPECT_NE(Text(::GetDlgItem(message, winui::kDialogText)).find("« abc »"), std::string::npos);
  Answer(message, IDOK);
  Answer(Dialog(L"Modification d'élévation"), IDCANCEL);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(test::ReadFile(file), after);

  // Ctrl+Z, pressed on the keyboard of the window: the runway's change taken back after a
  // question, the file as it was.
  ::SetForegroundWindow(window_);
  INPUT keys[4] = {};
  const WORD codes[4] = {VK_CONTROL, 'Z', 'Z', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = codes[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ::SendInput(4, keys, sizeof(INPUT));
  HWND undo = Dialog(L"Défaire");
  ASSERT_NE(undo, nullptr);
  Answer(undo, IDYES);
  message = Dialog(L"QORBgl");
  ASSERT_NE(message, nullptr);
  EXPECT_NE(Text(::GetDlgItem(message, winui::kDialogText)).find("1 altitude a repris sa valeur"),
            std::string::npos);
  Answer(message, IDOK);
  EXPECT_TRUE(WaitFor([&] { return test::ReadFile(file) == before; }));
  fs::remove(test::Utf8Path(backup));

  // A search narrows the list to the files that define the airport.
  const std::string sought = parsed.at("airports").at(0).at("name").get<std::string>();
  // Posted: the button opens a modal box, and a sent click would wait for it to close.
  ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(winui::bSearch, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(winui::bSearch)));
  Answer(Dialog(L"Recherche"), IDOK, sought);
  ASSERT_TRUE(WaitFor([&] { return ListedFiles().size() < Lines(files.out).size(); }));
  const test::ProgramRun found = test::RunProgram(kCli, {"find", folder_, sought});
  EXPECT_EQ(ListedFiles(), Lines(found.out));

  // A second start with a file hands it over and ends; the window opens it.
  const std::string other = folder_ + platform::kPathDelimiter + Lines(files.out).back();
  PROCESS_INFORMATION second = Start(other);
  EXPECT_EQ(::WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  ::GetExitCodeProcess(second.hProcess, &code);
  EXPECT_EQ(code, 0u);
  ::CloseHandle(second.hThread);
  ::CloseHandle(second.hProcess);
  EXPECT_TRUE(WaitFor([&] { return Text(Control(winui::eFichier)) == other; }));

  // Closed, the window leaves its settings in the registry.
  ::PostMessageW(window_, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
  window_ = nullptr;
  const auto dir = platform::RegReadValue(platform::RegRoot::CurrentUser, kSettingsKey, "Dir");
  ASSERT_TRUE(dir.has_value());
  EXPECT_EQ(dir->AsText(), folder_ + platform::kPathDelimiter);
  EXPECT_TRUE(platform::RegReadValue(platform::RegRoot::CurrentUser, kSettingsKey, "fMain"));
  EXPECT_EQ(
      platform::RegReadValue(platform::RegRoot::CurrentUser, kSettingsKey, "Onglet")->AsText(),
      "1");
}

TEST_F(WindowDriverTest, TheLibraryPageAlignsTheActiveDefinitionsOfAConflict) {
  // A simulator whose library defines LFLJ in three areas: two active ones that disagree, and
  // a third, switched off, on the highest layer.
  const std::string sim = dir_ / "Simulateur";
  const char d = platform::kPathDelimiter;
  struct AreaFile {
    std::string folder, title;
    bool active;
    std::int64_t mm;
    std::string file{};
    std::uint32_t offset = 0;
    test::Bytes before{};
  };
  std::vector<AreaFile> areas = {{"Stock", "Scènes d'origine", true, 2006000},
                                 {"Addon", "Courchevel détaillé", true, 2008500},
                                 {"Ancien", "Ancien décor", false, 1990000}};
  std::string cfg = "[General]\r\nTitle=FS2004 World Scenery\r\n";
  for (std::size_t i = 0; i < areas.size(); ++i) {
    AreaFile& area = areas[i];
    fs::create_directories(test::Utf8Path(sim + d + area.folder + d + "scenery"));
    test::BglBuilder b;
    test::Airport& airport = b.AddSection(3)
                                 .AddSubSection()
                                 .AddAirport()
                                 .Name("Courchevel")
                                 .Icao("LFLJ")
                                 .Elevation(area.mm);
    // Files of distinct names: their backup copies share one folder.
    area.file = sim + d + area.folder + d + "scenery" + d + "AP_LFLJ_" + area.folder + ".bgl";
    area.before = b.WriteTo(area.file);
    area.offset = airport.elevationOffset;
    cfg += "\r\n[Area." + std::string(i < 9 ? "00" : "0") + std::to_string(i + 1) +
           "]\r\nTitle=" + area.title + "\r\nLocal=" + area.folder +
           "\r\nLayer=" + std::to_string(i + 1) + "\r\nActive=" + (area.active ? "TRUE" : "FALSE") +
           "\r\n";
  }
  test::WriteText(sim + d + "scenery.cfg", test::Utf8ToCp1252(cfg));
  const std::string backups = platform::UserDesktopFolder() + "QORBgl Backup" + d;
  const auto backupOf = [&](const AreaFile& area) {
    return backups + area.file.substr(area.file.rfind(d) + 1);
  };
  for (const AreaFile& area : areas) fs::remove(test::Utf8Path(backupOf(area)));

  process_ = Start(folder_);
  ASSERT_TRUE(WaitFor(
      [&] {
        return (window_ = FindWindowTitled(winui::kWindowClass, winui::kTitleEnding)) != nullptr;
      },
      60));
  ClickTab(2);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(Control(winui::lvConflits)) != 0; }));
  EXPECT_FALSE(::IsWindowVisible(Control(winui::tvElev)));
  ::SendMessageW(Control(winui::eSimulateur), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(sim).c_str()));
  Click(winui::bCharger);
  ASSERT_TRUE(WaitFor([&] { return RowCount(winui::lvConflits) == 1; }, 20));
  EXPECT_EQ(Cell(winui::lvConflits, 0, 0), "LFLJ");
  // The areas in load order, their titles read from the Windows-1252 file.
  ASSERT_EQ(RowCount(winui::lvZones), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Cell(winui::lvZones, i, 1), areas[i].title);

  // The look-up lists every definition in load order.
  ::SendMessageW(Control(winui::eAeroport), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"lflj"));
  Click(winui::bChercher);
  ASSERT_TRUE(WaitFor([&] { return RowCount(winui::lvDefinitions) == 3; }));
  // Each file under the simulator's folder, as the list shows it, in the column of paths.
  for (int i = 0; i < 3; ++i) {
    std::string path;
    for (int c = 0; c < 8 && path.empty(); ++c) {
      const std::string cell = Cell(winui::lvDefinitions, i, c);
      if (cell.size() > 4 && cell.compare(cell.size() - 4, 4, ".bgl") == 0) path = cell;
    }
    EXPECT_EQ(sim + d + path, areas[i].file);
  }

  // "Aligner" waits for a conflict to be chosen.
  EXPECT_FALSE(::IsWindowEnabled(Control(winui::bAligner)));
  SelectRow(winui::lvConflits, 0);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(Control(winui::bAligner)) != 0; }));
  Click(winui::bAligner);
  Answer(Dialog(L"Aligner les altitudes"), IDOK, "1234,5");
  Answer(Dialog(L"Autres éléments"), IDNO);
  Answer(Dialog(L"Aligner les altitudes"), IDOK);  // the backup copies announced

  // Read again, the library holds no conflict; each active file changed in its four bytes only,
  // its copy on the desktop; the switched-off area's file untouched.
  ASSERT_TRUE(WaitFor([&] { return RowCount(winui::lvConflits) == 0; }, 20));
  for (const AreaFile& area : areas) {
    const test::Bytes after = test::ReadFile(area.file);
    if (!area.active) {
      EXPECT_EQ(after, area.before) << area.file;
      EXPECT_FALSE(fs::exists(test::Utf8Path(backupOf(area))));
      continue;
    }
    ASSERT_EQ(after.size(), area.before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (i < area.offset || i >= area.offset + 4) {
        EXPECT_EQ(after[i], area.before[i]) << area.file << " byte " << i;
      }
    }
    const std::uint32_t field = static_cast<std::uint32_t>(
        after[area.offset] | after[area.offset + 1] << 8 | after[area.offset + 2] << 16 |
        static_cast<std::uint32_t>(after[area.offset + 3]) << 24);
    EXPECT_EQ(field, 1234500u) << area.file;
    EXPECT_EQ(test::ReadFile(backupOf(area)), area.before) << area.file;
    fs::remove(test::Utf8Path(backupOf(area)));
  }

  // "Annuler" takes the alignment back after a question; read again, the conflict is back.
  Click(winui::bAnnuler);
  Answer(Dialog(L"Annuler l'alignement"), IDYES);
  Answer(Dialog(L"QORBgl"), IDOK);  // what was put back
  ASSERT_TRUE(WaitFor([&] { return RowCount(winui::lvConflits) == 1; }, 20));
  for (const AreaFile& area : areas) EXPECT_EQ(test::ReadFile(area.file), area.before);

  // A definition double-clicked opens its file on the elevation page.
  DoubleClickRow(winui::lvDefinitions, 1);
  EXPECT_TRUE(WaitFor([&] { return Text(Control(winui::eFichier)) == areas[1].file; }));
  EXPECT_EQ(::SendMessageW(Control(winui::pc), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(::IsWindowVisible(Control(winui::tvElev)));

  // Closed on the library page, the window saves that page for its next start.
  ClickTab(2);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(Control(winui::lvConflits)) != 0; }));
  ::PostMessageW(window_, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
  window_ = nullptr;
  EXPECT_EQ(
      platform::RegReadValue(platform::RegRoot::CurrentUser, kSettingsKey, "Onglet")->AsText(),
      "2");
}

}  // namespace
}  // namespace qor
