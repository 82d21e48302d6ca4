#pragma once
// The one window of QORBgl on Windows: folder and file list on the left, the help page, the
// airport tree and the scenery library on the right, in Win32 common controls. It lays out the
// controls, turns their messages into calls of the window's workflow, and shows what the workflow
// tells it; no rule of the job lives here.

// Before <windows.h>: its TextOut macro would rename the print surface's function here.
#include "winui/GdiPrintSurface.h"

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "util/FormPlacement.h"
#include "winui/Dialogs.h"
#include "winui/LibraryPane.h"
#include "winui/Progress.h"
#include "workflow/WindowWorkflow.h"

namespace qor::winui {

class MainWindow final : public WindowView, public Scheduler, public PlacementForm {
 public:
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates and shows the window, then opens the file or folder the command line names.
  bool Create(int show, const std::string& commandLinePath);
  HWND Handle() const { return window_; }

  // WindowView
  void SetStatus(const std::string& text) override;
  void ShowFolder(const FolderRows& rows) override;
  void ShowPage(Page page) override;
  void ClearFiles() override;
  void AppendFiles(const std::vector<std::string>& names) override;
  void SelectFile(std::optional<std::size_t> index) override;
  void SetSearchEnabled(bool enabled) override;
  void SetFileField(const std::string& path) override;
  void ShowTree(const AirportLines& lines) override;
  void LineChanged(std::size_t line) override;
  void ExpandLine(std::size_t line) override;
  void SelectLine(std::size_t line) override;
  void SetPrintEnabled(bool enabled) override;
  void SetBusy(bool busy) override;
  void ShowProgress(const std::string& text, std::size_t done, std::size_t total) override;

  // Scheduler
  void Post(std::function<void()> step) override;

  // PlacementForm: the bounds are always the normal ones, also while maximised.
  std::string ComponentName() const override { return "fMain"; }
  int Left() const override;
  int Top() const override;
  int Width() const override;
  int Height() const override;
  void SetLeft(int v) override;
  void SetTop(int v) override;
  void SetWidth(int v) override;
  void SetHeight(int v) override;
  WindowState State() const override;
  void SetState(WindowState state) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Notify(const NMHDR& header);
  void Command(int id, int code);
  // Runs an action; an error it raises is shown in a box captioned "QORBgl" with a stop icon,
  // and the window goes on.
  void Guarded(const std::function<void()>& action);

  void BuildControls();
  void Layout();
  int Px(int designPixels) const;
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  void FormClose();
  // The controls of the page of the tab index shown, the others hidden.
  void ShowPageControls(int index);
  void FillFolderList(const FolderRows& rows);
  void SelectDriveOf(const std::string& folder);

  void InsertElements(HTREEITEM airport, std::size_t line);
  // 1 on the splitter between the file pane and the pages, 2 on the one above the file list.
  int SplitterAt(int x, int y) const;
  void LanguageMenu();
  void HandOver(const std::wstring& text);
  void ShowHelp();

  HWND window_ = nullptr;
  HWND progress_ = nullptr;
  HFONT baseFont_ = nullptr;
  HFONT fixedFont_ = nullptr;
  HFONT statusFont_ = nullptr;
  HBITMAP flag_ = nullptr;
  HBITMAP printerIcon_ = nullptr;
  HMENU languageMenu_ = nullptr;
  int dpi_ = 96;

  Win32Dialogs dialogs_;
  GdiPrintTarget printer_;
  WindowWorkflow workflow_;
  LibraryPane library_;

  const AirportLines* lines_ = nullptr;
  std::vector<HTREEITEM> items_;  // by line; an airport's elements once it was expanded
  std::wstring shown_;            // the text the tree asked for last
  std::deque<std::function<void()>> steps_;
  bool busy_ = false;

  // The two panes' sizes (design pixels) and a splitter being dragged: 0 none, 1 the
  // vertical one between the files and the pages, 2 the horizontal one above the files.
  int filesWidth_ = 185;
  int dirHeight_ = 104;
  int dragging_ = 0;
  // The state the saved placement asks for, applied when the window is first shown.
  WindowState pendingState_ = WindowState::Normal;
};

}  // namespace qor::winui
