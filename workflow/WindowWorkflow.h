#pragma once
// What the window does, without its widgets: the file list of a folder, the open file and its
// airport tree, changing an elevation, searching the listed files for an airport, and the
// print-out. A front end lays out the controls, turns their events into the calls below and
// shows what the workflow tells it through its view and dialogs.
//
// Nothing re-enters the work. A request that comes while a dialog is open, a search or a print
// runs, or (for a file, a path, a search or a print) a listing runs, is held and carried out
// once that work has ended, in the order it came; a new folder choice first stops a running
// listing. Listing, searching and printing go in steps run from the front end's event loop,
// never in a loop of their own.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "print/QORDoc.h"
#include "workflow/AirportLines.h"
#include "workflow/FrontEnd.h"
#include "workflow/WindowSettings.h"

namespace qor {

class AirportSearch;
class FolderListing;
class TBGL;

// The print-out's lines: every line of the tree, the element lines one level in.
std::vector<PrintNode> PrintOut(const AirportLines& lines);

class WindowWorkflow {
 public:
  WindowWorkflow(WindowView& view, WorkflowDialogs& dialogs, Scheduler& scheduler,
                 PrintTarget& printer);
  ~WindowWorkflow();
  WindowWorkflow(const WindowWorkflow&) = delete;
  WindowWorkflow& operator=(const WindowWorkflow&) = delete;

  // The start: the saved page shown (its tree is filled when a file opens), the start folder
  // listed, then the file or folder that the command line names, if any, opened.
  void Start(const WindowSettings& settings, const std::string& commandLinePath);
  // The close: the open file is let go and the settings saved: the folder, the page and, from
  // the window, layout's drive and pane sizes.
  void Close(WindowSettings layout);

  // The folder controls moved to folder: its file list is made again. When the list moves to
  // another folder, the open file is closed.
  void ChooseFolder(const std::string& folder);
  // A row of the folder list entered (double-click or Enter): its folder listed. The current
  // folder's own row lists it whole again (after a search, say).
  void EnterFolder(std::size_t row);
  // The user chose the entry index of the file list: the file is opened, unless it is open.
  void ChooseFile(std::size_t index);
  // A file or folder named by the browse dialog, the command line or a second start: its folder
  // is listed and the file opened, through the file field even when the list does not hold
  // it, so that the user sees why it cannot be read.
  void OpenPath(const std::string& path);
  // The browse button: a file chosen in the browse dialog is opened as OpenPath opens it.
  void Browse();
  // What a second start of the program hands over (a path, blanks around it): opened as
  // OpenPath opens it.
  void HandOver(const std::string& text);
  // A definition double-clicked on the library page: its file opened on the elevation page and
  // the line of the airport whose elevation lies at offset selected.
  void OpenDefinition(const std::string& file, std::uint32_t offset);
  // The page shown changed; the elevation page fills the tree of the open file.
  void ShowPage(Page page);
  // A double-click on a line of the tree: its new elevation asked and written.
  void EditLine(std::size_t line);
  // Ctrl+Z on the elevation page: the last change the journal recorded of the open file is taken
  // back, after a question, field by field; the file is opened again.
  void UndoLastChange();
  // Keeps in the file list the files that define an airport of the name the user types.
  void Search();
  // Prints the airport tree of the open file.
  void PrintList();
  // Stops a running listing (the names found so far stay), search (the list stays as it was)
  // or print-out (nothing of it is printed or kept).
  void Cancel();

  // Another language is spoken: the tree's lines and the status line are said again in it (the
  // window sets its own texts).
  void LanguageChanged();

  // What the tooltip of a line says: the whole name of its airport or element (the line cuts
  // it to 25 characters), and its elevation in metres and in feet.
  std::string LineTip(std::size_t line) const;

  // A listing or a search runs.
  bool Working() const { return job_ != Job::None; }
  // Something runs that holds the requests back.
  bool Busy() const { return dialogDepth_ > 0 || job_ != Job::None; }

  const std::string& Folder() const { return folder_; }
  const FolderRows& Rows() const { return rows_; }
  const std::vector<std::string>& Files() const { return files_; }
  std::optional<std::size_t> SelectedFile() const { return selected_; }
  const std::string& FileField() const { return fileField_; }
  const TBGL* OpenFile() const { return bgl_.get(); }
  const AirportLines& Lines() const { return lines_; }
  Page CurrentPage() const { return page_; }
  const std::string& Status() const { return status_; }

 private:
  enum class Job { None, Listing, Searching, Printing };
  enum class Request { Folder, File, Path, Page, Edit, Search, Print };
  struct Held {
    Request kind;
    std::function<void()> run;
  };
  class CountedDialogs;

  // Runs a request now, or holds it while the work allows none of its kind.
  void Submit(Request kind, std::function<void()> run);
  bool MayRunNow(Request kind) const;
  void RunHeld();
  // Runs an action; an error it raises is shown by the application's error report.
  void Guarded(const std::function<void()>& action);
  // Runs an action and gives the text of the error it raised, if any.
  static std::optional<std::string> ErrorOf(const std::function<void()>& action);
  void ReportError(const std::string& text);

  void SetStatus(const std::string& text);
  void ListFolder(const std::string& folder);
  void OpenPathNow(const std::string& path);
  void ListingStep(std::uint64_t job);
  void SearchStep(std::uint64_t job);
  void PrintStep(std::uint64_t job);
  void BeginJob(Job job);
  void EndJob();
  void PostStep(void (WindowWorkflow::*step)(std::uint64_t));
  void ShowProgress(std::size_t done, std::size_t total);
  void ReplaceFiles(std::vector<std::string> names);
  // Selects the listed file named name (letter case aside) and opens it; a name the list lacks
  // is opened through the file field all the same.
  void ChooseListed(const std::string& name);
  // The same, as a request of its own: held while a dialog is open.
  void ChooseWhenFree(std::string name);
  // The file field takes path; a change of its text opens the file it names.
  void SetFileField(const std::string& path);
  void OpenFieldFile();
  // The status line once the list is made: what the folder holds, or what to do next.
  void StatusOfList();
  // The status line of the open file: what to do on the elevation page, what it holds elsewhere.
  void StatusOfFile();
  // The line of the pending definition, once its file's tree shows.
  void SelectPendingLine();
  void CloseFile();
  void FillTree();
  void ClearTree();
  void ChangeElevation(std::size_t line);

  WindowView& view_;
  std::unique_ptr<WorkflowDialogs> dialogs_;  // the front end's, counted while open
  Scheduler& scheduler_;
  PrintTarget& printer_;

  Page page_ = Page::Help;
  std::string status_;
  std::string folder_;
  FolderRows rows_;
  std::vector<std::string> files_;
  std::optional<std::size_t> selected_;
  std::string fileField_;
  std::unique_ptr<TBGL> bgl_;
  AirportLines lines_;
  // Counts the trees shown: a held double-click belongs to the tree it was made on.
  std::uint64_t treeShown_ = 0;

  Job job_ = Job::None;
  std::uint64_t jobNumber_ = 0;  // a step of an ended job finds another number and does nothing
  std::unique_ptr<FolderListing> listing_;
  std::unique_ptr<AirportSearch> search_;
  // The print-out being printed, the next of its lines, and the PDF it goes to (if any).
  std::vector<PrintNode> printNodes_;
  std::size_t printNext_ = 0;
  std::string printPdf_;
  std::string statusBeforeJob_;
  std::int64_t lastProgressMs_ = 0;
  // The file to choose once the listing of its folder ends.
  std::optional<std::string> pendingFile_;
  // The definition whose line is selected once its file's tree shows.
  struct PendingLine {
    std::string file;
    std::uint32_t offset = 0;
  };
  std::optional<PendingLine> pendingLine_;

  int dialogDepth_ = 0;
  std::deque<Held> held_;
};

}  // namespace qor
