#pragma once
// The "Bibliothèque" page of both windows: the simulator's scenery library read from its
// scenery.cfg, the areas in load order, every definition of an airport looked up by ident or
// name, the airports whose definitions disagree, and "Aligner" on one of them. The page's
// rules live here; a window lays out its controls, turns their events into these calls and
// shows the rows it is given, text as it stands.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "workflow/FrontEnd.h"

namespace qor {

namespace library {
struct Library;
class LibraryScan;
struct Reference;
class ReferenceRead;
struct SceneryConfig;
}  // namespace library

// One line of a list of the page: its cells, left to right, under the list's columns; marked
// lines are drawn in bold (the definition the simulator shows).
struct LibraryRow {
  std::vector<std::string> cells;
  bool marked = false;
  std::string tip;  // the row's tooltip (a definition's whole path), or nothing
};

class LibraryView {
 public:
  virtual ~LibraryView() = default;
  // The field of the simulator's folder.
  virtual void ShowSimulatorFolder(const std::string& folder) = 0;
  // The field of the reference list ("Référence :").
  virtual void ShowReferenceFile(const std::string& file) = 0;
  virtual void ShowAreas(const std::vector<LibraryRow>& rows) = 0;
  // The definitions of the airport looked up, and a line that sums them up (shown above or
  // below the list).
  virtual void ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& summary) = 0;
  virtual void ShowConflicts(const std::vector<LibraryRow>& rows) = 0;
  // The page's own status line (the reading's progress, what was found, what was changed).
  virtual void SetLibraryStatus(const std::string& text) = 0;
  // While the library or the reference is read: "Charger", "Chercher", "Aligner" and both
  // "Parcourir…" are disabled and the wait cursor shows; Escape calls Cancel.
  virtual void SetLibraryBusy(bool busy) = 0;
};

class LibraryPage {
 public:
  // The captions of the lists' columns, in the order of LibraryRow's cells, in the current
  // language.
  static std::vector<std::string> AreaColumns();
  static std::vector<std::string> DefinitionColumns();
  static std::vector<std::string> ConflictColumns();

  LibraryPage(LibraryView& view, WorkflowDialogs& dialogs, Scheduler& scheduler);
  ~LibraryPage();
  LibraryPage(const LibraryPage&) = delete;
  LibraryPage& operator=(const LibraryPage&) = delete;

  // The page is shown for the first time: the folder of the library read last, else the
  // simulator's folder that the finder knows, goes into the field, and the reference list read
  // last into its own (nothing is read yet: the reference is read after the library).
  void Show();
  // "Parcourir…": a folder chosen in the folder dialog (opening at shown, the field's text)
  // goes into the field and is loaded.
  void Browse(const std::string& shown);
  // "Charger": reads scenery.cfg of the folder the text names (blanks around it aside) and then
  // every area's files, a step at a time from the window's loop, the areas, the conflicts and
  // the look-up shown when done. A folder whose scenery.cfg was read is kept for the next run.
  void Load(const std::string& text);
  // The reference's "Parcourir…": a list chosen in the open dialog (opening at shown, the
  // field's text) goes into the field and is read.
  void BrowseReference(const std::string& shown);
  // Enter in the reference's field: reads the list the text names (blanks around it aside), a
  // step at a time, and shows its elevations in the lists: a column of their own, the
  // conflicts of airports whose shown elevation differs from it, and "Aligner" offering it
  // first. A list read is kept for the next run; an empty text takes the reference away.
  void LoadReference(const std::string& text);
  // "Chercher": the definitions of the airport text names (ident or name), in load order.
  void Lookup(const std::string& text);
  // "Aligner" on a line of the conflicts: asks the elevation (offering the one the simulator
  // shows) and whether the runways and starts follow, then changes every active definition
  // (each file checked, then backed up, then written) and reads the library again.
  void AlignConflict(std::size_t row);
  // "Annuler": the last alignment the journal recorded (from this window or the command line)
  // is taken back, after a question, field by field; the library is read again.
  void UndoAlignment();
  // Stops the reading (Escape): what was read so far stays shown, but nothing is
  // aligned on a library read in part; a reference read in part is not taken.
  void Cancel();

  bool Working() const;
  const std::string& SimulatorFolder() const { return folder_; }
  // The file and elevation offset of a line of the definitions, for the double-click that
  // opens it on the elevation page; nothing for a line that is not there.
  std::optional<std::string> DefinitionFile(std::size_t row) const;
  std::optional<std::uint32_t> DefinitionOffset(std::size_t row) const;

 private:
  void StartScan(library::SceneryConfig config);
  void ScanStep(std::uint64_t job);
  void Finish();
  void StartReference(const std::string& file);
  void ReferenceStep(std::uint64_t job);
  void FinishReference();
  // The conflicts list, with the reference's when there is one; the status's count of them.
  std::size_t ShowConflictRows();
  std::string ReferenceCell(const library::Library& lib, std::size_t definition) const;
  std::string ReferenceSummary(const library::Library& lib, std::size_t definition) const;
  void ShowLookup();
  void Report(const std::string& text, bool stop);

  LibraryView& view_;
  WorkflowDialogs& dialogs_;
  Scheduler& scheduler_;
  std::string folder_;  // of the library read, or being read
  bool shown_ = false;
  bool complete_ = false;  // the library was read to its end
  std::string lookup_;
  std::unique_ptr<library::LibraryScan> scan_;
  std::unique_ptr<library::Library> library_;
  std::string referenceFile_;  // the list read, or to read after the library
  std::unique_ptr<library::ReferenceRead> referenceRead_;
  std::unique_ptr<library::Reference> reference_;
  std::vector<std::size_t> shownDefinitions_;  // indexes into the library's definitions
  std::vector<std::size_t> shownConflicts_;    // the conflicts' first definitions
  std::int32_t minDiffMm_ = 500;
  std::uint64_t job_ = 0;
};

}  // namespace qor
