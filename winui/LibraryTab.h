#pragma once
// The "Bibliothèque" page of the Win32 window: its controls, children of the main window like
// the other pages' (so that GetDlgItem finds them and Tab goes through them in order), above
// the tab control in the drawing order, laid out in the page's rectangle. The page's
// workflow decides every text and mark; this only shows its rows and turns the controls'
// messages into its calls.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "workflow/LibraryPage.h"

namespace qor::winui {

class LibraryTab final : public LibraryView {
 public:
  // openDefinition is called with the file of a definition that was double-clicked.
  LibraryTab(WorkflowDialogs& dialogs, Scheduler& scheduler,
             std::function<void(const std::string&, std::uint32_t)> openDefinition);
  ~LibraryTab() override;
  LibraryTab(const LibraryTab&) = delete;
  LibraryTab& operator=(const LibraryTab&) = delete;

  // Creates the controls in window, hidden, in the keyboard's order; px turns design pixels
  // into the screen's.
  void Build(HWND window, HFONT font, const std::function<int(int)>& px);
  // The texts of the page's controls and lists' columns in the language spoken.
  void SetTexts();
  // The page's smallest height, for the window's minimum.
  int MinimumHeight() const;
  // Places the controls in the page's rectangle, above the tab control.
  void Layout(const RECT& page);
  // Shows or hides the page; the first showing asks the workflow for the simulator's folder.
  void Show(bool shown);

  // The main window's WM_COMMAND and WM_NOTIFY: true (and the result) when the message was the
  // page's.
  bool Command(int id, int code);
  std::optional<LRESULT> Notify(const NMHDR& header);
  // Enter and Escape as the dialog manager reports them (IDOK, IDCANCEL): Enter in a field
  // presses its button, Escape stops the reading. False when the page has no use for them.
  bool Key(int id);
  // WM_CTLCOLORSTATIC of a text of the page: the tab control's body colour behind it (the dc
  // set up); null for the window's other controls.
  HBRUSH StaticBackground(HWND control, HDC dc) const;
  // The wait cursor is wanted.
  bool Busy() const { return busy_; }

  // LibraryView
  void ShowSimulatorFolder(const std::string& folder) override;
  void ShowReferenceFile(const std::string& file) override;
  void ShowAreas(const std::vector<LibraryRow>& rows) override;
  void ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& summary) override;
  void ShowConflicts(const std::vector<LibraryRow>& rows) override;
  void SetLibraryStatus(const std::string& text) override;
  void SetLibraryBusy(bool busy) override;

 private:
  HWND Control(int id) const { return ::GetDlgItem(window_, id); }
  void Fill(int list, const std::vector<LibraryRow>& rows, std::vector<bool>& marks);
  // Each column as wide as its texts, the widest narrowed so that every one shows whole.
  void FitColumns(int list);
  void EnableButtons();
  void OpenDefinition(std::size_t row);
  std::optional<std::size_t> Selected(int list) const;

  std::function<void(const std::string&, std::uint32_t)> openDefinition_;
  LibraryPage page_;
  HWND window_ = nullptr;
  HFONT boldFont_ = nullptr;
  std::function<int(int)> px_;
  bool shownOnce_ = false;
  bool busy_ = false;
  // Which lines of each list are drawn in bold.
  std::vector<bool> areaMarks_, definitionMarks_, conflictMarks_;
  // Each list's rows' hints, by the list's identifier.
  std::map<int, std::vector<std::string>> tips_;
  HWND hints_ = nullptr;  // the hints of the page's controls
};

}  // namespace qor::winui
