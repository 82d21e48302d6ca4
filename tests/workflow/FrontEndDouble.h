#pragma once
// A front end without a display for the window's workflow: a view that remembers what it was
// told, a scheduler whose steps the test runs, and a printer that records the pages.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/print/RecordingSurface.h"
#include "workflow/AirportLines.h"
#include "workflow/FrontEnd.h"

namespace qor::test {

class RecordingView : public WindowView {
 public:
  void SetStatus(const std::string& text) override { status = text; }
  void ShowFolder(const FolderRows& rows) override {
    folder = rows.folder;
    folderRows = rows;
  }
  void ShowPage(Page p) override { page = p; }
  void ClearFiles() override { files.clear(); }
  void AppendFiles(const std::vector<std::string>& names) override {
    files.insert(files.end(), names.begin(), names.end());
  }
  void SelectFile(std::optional<std::size_t> index) override { selected = index; }
  void SetSearchEnabled(bool enabled) override { searchEnabled = enabled; }
  void SetFileField(const std::string& path) override { field = path; }
  void ShowTree(const AirportLines& lines) override {
    shown = &lines;
    tree.clear();
    for (std::size_t i = 0; i < lines.Size(); ++i) {
      tree.push_back((lines.IsAirport(i) ? "" : "   ") + std::string(lines.Text(i)));
    }
  }
  void LineChanged(std::size_t line) override {
    tree[line] = (shown->IsAirport(line) ? "" : "   ") + std::string(shown->Text(line));
  }
  void ExpandLine(std::size_t line) override { expanded.push_back(line); }
  void SelectLine(std::size_t line) override { selectedLine = line; }
  void SetPrintEnabled(bool enabled) override { printEnabled = enabled; }
  void SetBusy(bool b) override { busy = b; }
  void ShowProgress(const std::string& text, std::size_t done, std::size_t total) override {
    progress.push_back({text, done, total});
  }

  std::string status, folder, field;
  FolderRows folderRows;
  std::optional<Page> page;
  std::optional<std::size_t> selectedLine;
  std::vector<std::string> files;
  std::optional<std::size_t> selected;
  bool searchEnabled = false, printEnabled = false, busy = false;
  std::vector<std::string> tree;  // as the window shows it, element lines indented
  std::vector<std::size_t> expanded;
  const AirportLines* shown = nullptr;
  struct Progress {
    std::string text;
    std::size_t done, total;
  };
  std::vector<Progress> progress;
};

class StepQueue : public Scheduler {
 public:
  void Post(std::function<void()> step) override { steps.push_back(std::move(step)); }
  // One file a step: a test sees the work in progress.
  std::chrono::milliseconds StepTime() const override { return std::chrono::milliseconds(0); }
  // Runs the steps, and those they post, until none is left.
  void RunAll() {
    while (!steps.empty()) RunOne();
  }
  void RunOne() {
    std::function<void()> step = std::move(steps.front());
    steps.pop_front();
    step();
  }
  std::deque<std::function<void()>> steps;
};

class RecordingPrinter : public PrintTarget {
 public:
  bool HasDefaultPrinter() override { return hasPrinter; }
  bool CanWritePdf() const override { return canWritePdf; }
  std::unique_ptr<PrintSurface> Surface(const std::string& pdfPath) override {
    pdfs.push_back(pdfPath);
    auto surface = std::make_unique<RecordingSurface>();
    last = surface.get();  // the print document owns it until the next job
    return surface;
  }
  bool hasPrinter = false;
  bool canWritePdf = true;
  std::vector<std::string> pdfs;
  RecordingSurface* last = nullptr;
};

}  // namespace qor::test
