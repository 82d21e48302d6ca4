// QORBgl.exe worked from another process for what the window scenarios (ScenarioDriver.cpp)
// leave to the Win32 window alone: the bytes an edit writes, the elements' question's default
// button pressed by Enter, and the library's files read and backed up as they lie on disk.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/File.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "platform/Text_win32.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"
#include "tests/winui/RemoteWindow.h"
#include "winui/Ids.h"

namespace qor {
namespace {

namespace fs = std::filesystem;
using platform::Utf8;
using platform::Wide;
using test::WaitFor;

const std::string kWindow = QORBGL_WINDOW;
constexpr char kSettingsKey[] = "Software\\QOR Soft\\QORBgl";

std::uint32_t FieldAt(const test::Bytes& bytes, std::uint32_t at) {
  return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

class WindowDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder whose name holds accents and a blank.
    folder_ = dir_ / "Scènes d'essai";
    fs::create_directory(test::Utf8Path(folder_));
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
    const PROCESS_INFORMATION process = test::LaunchProgram(kWindow, argument);
    EXPECT_NE(process.hProcess, nullptr) << "QORBgl.exe did not start";
    return process;
  }
  static HWND FindWindowTitled(const wchar_t* cls, const std::wstring& ending) {
    const std::vector<HWND> found = test::FindWindows(cls, ending);
    return found.empty() ? nullptr : found.front();
  }
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  static std::string Text(HWND control) { return test::ControlText(control); }
  void ChooseFile(int row) {
    const HWND list = Control(winui::lbFiles);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(winui::lbFiles, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
  }
  void StartWindow() {
    process_ = Start(folder_);
    ASSERT_TRUE(WaitFor(
        [&] {
          return (window_ = FindWindowTitled(winui::kWindowClass, winui::kTitleEnding)) != nullptr;
        },
        60000));  // the first window of a fresh Wine prefix waits for its font cache
  }
  std::vector<std::string> TreeLines(std::vector<HTREEITEM>* items = nullptr) {
    return test::TreeViewLines(Control(winui::tvElev), items);
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
    test::RemoteMemory remote(window_, sizeof(RECT));
    ::SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), remote.At(0));
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
    return test::ListCell(Control(list), row, column);
  }
  void SelectRow(int list, int row) {
    test::RemoteMemory remote(window_, sizeof(LVITEMW));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(0, &state, sizeof state);
    ::SendMessageW(Control(list), LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.At(0));
  }
  // A double-click on a line, as the mouse gives it: the line is selected, then the click.
  void DoubleClick(HTREEITEM item) {
    const HWND tree = Control(winui::tvElev);
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    test::RemoteMemory remote(window_, sizeof(RECT));
    remote.Write(0, &item, sizeof item);
    ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, remote.At(0));
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

TEST_F(WindowDriverTest, AnEditWritesItsFieldAloneAndEnterKeepsTheElementsWhereTheyAre) {
  // One airport at 100 m; its runway and its start, each the line after the one before.
  const std::string file = folder_ + platform::kPathDelimiter + "AP_essai.bgl";
  test::BglBuilder b;
  test::Airport& airport = b.AddSection(3).AddSubSection().AddAirport().Name("Essai").Icao("LFXX");
  airport.Elevation(100000).Runway(9, 1, 100000).Start(27, 2, 90000);
  const test::Bytes before = b.WriteTo(file);
  const std::uint32_t runwayField = airport.elements.at(0).elevationOffset;
  const std::string backup =
      platform::UserDesktopFolder() + "QORBgl Backup" + platform::kPathDelimiter + "AP_essai.bgl";
  fs::remove(test::Utf8Path(backup));

  StartWindow();
  ChooseFile(0);
  std::vector<HTREEITEM> items;
  ASSERT_TRUE(WaitFor([&] {
    items.clear();
    return TreeLines(&items).size() == 3;
  }));

  // The runway: "433,5" typed and confirmed, the backup announced; its four bytes change, no
  // others.
  DoubleClick(items[1]);
  Answer(Dialog(L"Modification d'élévation"), IDOK, "433,5");
  Answer(Dialog(L"Attention"), IDOK);  // a change of more than ten metres is confirmed
  HWND message = Dialog(L"QORBgl");
  ASSERT_NE(message, nullptr);
  EXPECT_NE(Text(::GetDlgItem(message, winui::kDialogText)).find("QORBgl Backup"),
            std::string::npos);
  Answer(message, IDOK);
  test::Bytes after;
  ASSERT_TRUE(WaitFor([&] { return (after = test::ReadFile(file)) != before; }));
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i < runwayField || i >= runwayField + 4) {
      EXPECT_EQ(before[i], after[i]) << "byte " << i;
    }
  }
  EXPECT_EQ(FieldAt(after, runwayField), 433500u);
  EXPECT_EQ(test::ReadFile(backup), before);

  // The airport's value kept: its elements, one 333,5 m away, are asked about with Non as the
  // default, which Enter presses: nothing written.
  DoubleClick(items[0]);
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
  fs::remove(test::Utf8Path(backup));
}

TEST_F(WindowDriverTest, TheLibraryReadsItsAreasTitlesAndBacksUpWhatItAligns) {
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

  StartWindow();
  ClickTab(2);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(Control(winui::lvConflits)) != 0; }));
  EXPECT_FALSE(::IsWindowVisible(Control(winui::tvElev)));
  ::SendMessageW(Control(winui::eSimulateur), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(sim).c_str()));
  Click(winui::bCharger);
  ASSERT_TRUE(WaitFor([&] { return RowCount(winui::lvConflits) == 1; }, 20000));
  EXPECT_EQ(Cell(winui::lvConflits, 0, 0), "LFLJ");
  // The areas in load order, their titles read from the Windows-1252 file.
  ASSERT_EQ(RowCount(winui::lvZones), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Cell(winui::lvZones, i, 1), areas[i].title);

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
  ASSERT_TRUE(WaitFor([&] { return RowCount(winui::lvConflits) == 0; }, 20000));
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
}

}  // namespace
}  // namespace qor
