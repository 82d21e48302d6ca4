#pragma once
// What a front end gives the window's workflow: dialogs that ask the user, a view that shows
// what the workflow tells it, a way to run the next step of a long task from its event loop,
// and the printer. The Qt window and the Win32 window each implement them; tests script them.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bgl/UserDialog.h"
#include "workflow/FolderRows.h"

namespace qor {

class AirportLines;
class PrintSurface;

// The pages of the window, by their index (the index is saved in the settings).
enum class Page { Help = 0, Elevations = 1, Library = 2 };

class WorkflowDialogs : public UserDialog {
 public:
  // The input box: caption, prompt, a text field holding text at first. True on OK, with the
  // edited text in text; false on Cancel.
  virtual bool InputBox(const std::string& caption, const std::string& prompt,
                        std::string& text) = 0;
  // The browse dialog for a BGL file, opening in the folder path. True with the chosen file
  // in path.
  virtual bool OpenFileName(std::string& path) = 0;
  // The open-file dialog for any other file, captioned caption, showing the files filter names
  // (as SaveFileName's: "Listes d'aéroports (*.csv *.dat)", all files offered too), opening at
  // path (a file or a folder). True with the chosen file in path.
  virtual bool OpenFile(const std::string& caption, const std::string& filter,
                        std::string& path) = 0;
  // The save-file dialog, with path as the proposed file. True with the chosen path in path.
  virtual bool SaveFileName(const std::string& caption, const std::string& filter,
                            std::string& path) = 0;
  // The folder dialog, captioned caption, opening at folder. True with the chosen folder in
  // folder.
  virtual bool BrowseFolder(const std::string& caption, std::string& folder) = 0;
};

// The controls of the window as the workflow sees them. None of these calls comes back into
// the workflow: a view that moves a control in answer raises no event of its own.
class WindowView {
 public:
  virtual ~WindowView() = default;
  virtual void SetStatus(const std::string& text) = 0;
  // The folder controls move to rows.folder: the drive box to its root, the folder list to its
  // rows, the current one selected.
  virtual void ShowFolder(const FolderRows& rows) = 0;
  // The page control shows page.
  virtual void ShowPage(Page page) = 0;
  // The file list: emptied, names appended, one entry selected (or none).
  virtual void ClearFiles() = 0;
  virtual void AppendFiles(const std::vector<std::string>& names) = 0;
  virtual void SelectFile(std::optional<std::size_t> index) = 0;
  virtual void SetSearchEnabled(bool enabled) = 0;
  // The read-only file field.
  virtual void SetFileField(const std::string& path) = 0;
  // The airport tree shows lines (empty: the tree is emptied). The view may keep a reference
  // to lines until the next ShowTree.
  virtual void ShowTree(const AirportLines& lines) = 0;
  // A line's text changed (its elevation was rewritten).
  virtual void LineChanged(std::size_t line) = 0;
  // An airport's element lines become visible.
  virtual void ExpandLine(std::size_t line) = 0;
  // The tree's line is selected, scrolled into view and the tree takes the keyboard.
  virtual void SelectLine(std::size_t line) = 0;
  virtual void SetPrintEnabled(bool enabled) = 0;
  // The busy display (the wait cursor) while a long task runs.
  virtual void SetBusy(bool busy) = 0;
  // A long task's progress in a box of its own, whose button cancels the task
  // (WindowWorkflow::Cancel): done of total. A total of 0 takes the box away.
  virtual void ShowProgress(const std::string& text, std::size_t done, std::size_t total) = 0;
};

// Runs the steps of a long task from the event loop, so that the window keeps painting and
// taking the user's choices between two steps without a nested loop.
class Scheduler {
 public:
  virtual ~Scheduler() = default;
  // Runs step later, once, on the window's thread, after the events waiting now.
  virtual void Post(std::function<void()> step) = 0;
  // How long one step may take: the window takes no event meanwhile.
  virtual std::chrono::milliseconds StepTime() const { return std::chrono::milliseconds(20); }
};

class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  virtual bool HasDefaultPrinter() = 0;
  // Whether the list can go to a PDF file where there is no printer.
  virtual bool CanWritePdf() const { return true; }
  // The default printer's pages, or, with a path, a PDF file's.
  virtual std::unique_ptr<PrintSurface> Surface(const std::string& pdfPath) = 0;
};

}  // namespace qor
