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

#include "lang/Language.h"
#include "winui/Dialogs.h"
#include "winui/FolderList.h"
#include "winui/Fonts.h"
#include "winui/HelpView.h"
#include "winui/LibraryTab.h"
#include "winui/Placement.h"
#include "winui/Progress.h"
#include "winui/Splitters.h"
#include "winui/Tree.h"
#include "workflow/LanguageChoice.h"
#include "workflow/WindowWorkflow.h"

namespace qor::winui {

class MainWindow final : public WindowView, public Scheduler {
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

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Notify(const NMHDR& header);
  void Command(int id, int code, HWND control);
  // Runs an action; an error it raises is shown in a box captioned "QORBgl" with a stop icon,
  // and the window goes on.
  void Guarded(const std::function<void()>& action);

  void BuildControls();
  void Layout();
  // The smallest outer size at which every pane keeps its minimum.
  SIZE MinimumSize() const;
  int Px(int designPixels) const;
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  void FormClose();
  // The controls of the page of the tab index shown, the others hidden.
  void ShowPageControls(int index);
  // The page step tabs away (Ctrl+Tab: 1, Ctrl+Shift+Tab: -1), as a click on its tab.
  void StepPage(int step);
  void LanguageMenu();
  // The texts of every control in the language spoken, and the flag that shows it.
  void SetTexts();
  // A language chosen from the flag's menu: kept, and every text shown in it at once.
  void ChangeLanguage(lang::Language language);
  void HandOver(const std::wstring& text);

  HWND window_ = nullptr;
  HWND progress_ = nullptr;
  Fonts fonts_;
  HBITMAP flag_ = nullptr;
  HBITMAP printerIcon_ = nullptr;
  HMENU languageMenu_ = nullptr;
  std::vector<HBITMAP> menuFlags_;  // the languages' flags in the menu
  HWND hints_ = nullptr;            // the hints of the window's own controls
  int dpi_ = 96;

  Win32Dialogs dialogs_;
  GdiPrintTarget printer_;
  WindowWorkflow workflow_;
  WindowPlacement placement_;
  Splitters splitters_;
  FolderList folders_;
  Tree tree_;
  LibraryTab library_;
  HelpView help_;

  std::deque<std::function<void()>> steps_;
  bool busy_ = false;
};

}  // namespace qor::winui
