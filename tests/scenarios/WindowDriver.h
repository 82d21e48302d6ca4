#pragma once
// One list of what a user does with the window, run against both windows: the Qt window
// offscreen, in the test's own process, and the Win32 window under Wine, from another process.
// A driver works its window as a user does (mouse clicks, keys, the dialogs' buttons) and reads
// back what the window shows; the scenarios (WindowScenarios.cpp) say what must happen.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor::test {

// How the user reaches a control: its mouse gesture or its key.
enum class Gesture {
  DoubleClick,  // the folder list's row, the tree's line, the definitions' row
  Enter,        // Return on the focused row or line
  F2,           // on the tree's line
};

// The user's answer to the next dialog the window opens.
struct Answer {
  enum Button { Ok, Cancel, Yes, No };
  std::string caption;  // the dialog's caption, as expected
  Button button = Ok;
  std::optional<std::string> typed{};  // typed into the input box first
};

// What a dialog showed before it was answered.
struct Shown {
  std::string caption, text;
  std::string offered{};  // what an input box's field held when it opened
};

// The lists of the library page.
enum class LibraryList { Areas, Definitions, Conflicts };

class WindowDriver {
 public:
  virtual ~WindowDriver() = default;

  // ---- the places the scenarios work in ----
  // A folder of the test's own (below which the scenarios make their files), and the user's
  // desktop as the window sees it (its backup copies go there).
  virtual std::string Workspace() const = 0;
  virtual std::string Desktop() const = 0;

  // ---- the program ----
  // Starts the window with one argument (a folder or file; empty: none), with the settings
  // left by the last close, and waits until it shows and its folder is listed.
  virtual void Start(const std::string& argument) = 0;
  // A second start of the program with argument, while the window runs: its exit code.
  virtual int StartSecond(const std::string& argument) = 0;
  // Closes the window as the user does (its close box) and waits for it to end.
  virtual void Close() = 0;

  // ---- dialogs ----
  // The dialogs the next action opens, answered in this order. An action that opens one more
  // dialog than was expected, or another caption, fails the scenario.
  virtual void Expect(std::vector<Answer> answers) = 0;
  // The dialogs answered since the last call, in order.
  virtual std::vector<Shown> Answered() = 0;

  // ---- the left pane ----
  virtual std::vector<std::string> FolderRows() = 0;  // each row's text, indentation trimmed
  virtual std::size_t CurrentFolderRow() = 0;
  virtual void EnterFolderRow(std::size_t row, Gesture how) = 0;  // DoubleClick or Enter
  virtual void ClickFolderRow(std::size_t row) = 0;
  virtual std::vector<std::string> Files() = 0;
  virtual std::optional<std::size_t> SelectedFile() = 0;
  virtual void ChooseFile(std::size_t row) = 0;  // a click on the entry
  virtual void Search() = 0;                     // a click on "Rechercher"
  virtual std::string FileField() = 0;
  virtual std::string Status() = 0;

  // ---- the pages ----
  virtual int Page() = 0;  // 0 help, 1 elevations, 2 library
  virtual void ClickTab(int page) = 0;
  virtual void PressCtrlTab() = 0;

  // ---- the elevation page ----
  // Every line of the tree, each airport expanded, element lines indented by three blanks.
  virtual std::vector<std::string> TreeLines() = 0;
  virtual std::optional<std::size_t> SelectedLine() = 0;  // by the index TreeLines gives
  virtual bool TreeHasFocus() = 0;
  // The line selected, then edited by how (DoubleClick, Enter or F2).
  virtual void EditLine(std::size_t line, Gesture how) = 0;
  virtual void PressCtrlZ() = 0;

  // ---- the library page ----
  virtual void SetSimulatorField(const std::string& folder) = 0;
  virtual std::string SimulatorField() = 0;
  virtual void Load() = 0;  // "Charger", waiting until the library is read
  // The reference list's field: typed, then Enter, waiting until the list is read.
  virtual void SetReferenceField(const std::string& file) = 0;
  virtual std::string ReferenceField() = 0;
  virtual void Lookup(const std::string& airport) = 0;  // typed, then "Chercher"
  virtual std::vector<std::vector<std::string>> Rows(LibraryList list) = 0;
  virtual std::vector<std::string> Columns(LibraryList list) = 0;
  // Whether the column lies whole inside the list as the window shows it, unscrolled.
  virtual bool ColumnVisible(LibraryList list, std::size_t column) = 0;
  virtual void SelectConflict(std::size_t row) = 0;
  virtual bool AlignEnabled() = 0;
  virtual void Align() = 0;                                       // "Aligner"
  virtual void UndoAlignment() = 0;                               // "Annuler"
  virtual void OpenDefinition(std::size_t row, Gesture how) = 0;  // DoubleClick or Enter
  virtual std::string LibrarySummary() = 0;                       // the line above the definitions
  virtual std::string LibraryStatus() = 0;

  // ---- the language ----
  // The language the window starts in from the next Start, as the flag's menu keeps it: "fr",
  // "en", "de", or "qps", the tests' pseudo-language.
  virtual void SetStartLanguage(const std::string& code) = 0;
  // The program's own texts the window shows now: its title's text after the version, the
  // labels, buttons, tabs and lists' column captions and the status lines of the page shown and
  // the left pane; each whole, with its access key's '&'.
  virtual std::vector<std::string> ShownTexts() = 0;
  // Those of the texts above (tabs and column captions aside) that do not show whole in their
  // control.
  virtual std::vector<std::string> CutTexts() = 0;
  // The pairs of shown controls (labels, buttons, fields, lists) that lie over each other by more
  // than the edge of a frame, as "name/name".
  virtual std::vector<std::string> OverlappingControls() = 0;

  // ---- the frame ----
  // Asks the window for a size (outer, in pixels); it keeps its own minimum.
  virtual void ResizeTo(int width, int height) = 0;
  virtual void Maximise() = 0;
  virtual void Restore() = 0;
  // The names of the shown controls of the current page and the left pane that are not
  // whole inside the window, or smaller than they can be used at.
  virtual std::vector<std::string> ControlsOutOfReach() = 0;
  // Buttons and labels whose text has no access key (an '&'-marked letter), by their text.
  virtual std::vector<std::string> WithoutAccessKey() = 0;
};

// One scenario: its name (the test's name in both windows' output) and what it does.
struct Scenario {
  std::string name;
  std::function<void(WindowDriver&)> run;
};

// Every scenario, in the order they run.
const std::vector<Scenario>& WindowScenarios();

}  // namespace qor::test
