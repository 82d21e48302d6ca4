#include "workflow/WindowWorkflow.h"

#include <chrono>
#include <exception>
#include <new>

#include "bgl/Bgl.h"
#include "lang/Tr.h"
#include "library/Recovery.h"
#include "platform/File.h"
#include "platform/FileOps.h"
#include "platform/Folder.h"
#include "platform/NameCase.h"
#include "platform/Process.h"
#include "text/Trim.h"
#include "util/Environment.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"
#include "util/Wording.h"
#include "workflow/AirportSearch.h"
#include "workflow/ElevationInput.h"
#include "workflow/FolderListing.h"
#include "workflow/LangStr.h"

namespace qor {

namespace {

using Clock = std::chrono::steady_clock;

// How often the status line says how far a long task is: each repaint costs more than
// examining a file.
constexpr std::int64_t kProgressMs = 100;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}

bool SameFileName(const std::string& a, const std::string& b) {
  return platform::SameNameIgnoringCase(a, b);
}

}  // namespace

// The front end's dialogs, counted while they are open: a request that comes meanwhile (from a
// second start, say) is held until the dialog and the work that opened it are over.
class WindowWorkflow::CountedDialogs : public WorkflowDialogs {
 public:
  CountedDialogs(WorkflowDialogs& dialogs, int& depth) : dialogs_(dialogs), depth_(depth) {}
  void Message(const std::string& text) override {
    Open open(depth_);
    dialogs_.Message(text);
  }
  int MsgBox(const std::string& text, const std::string& caption, int flags) override {
    Open open(depth_);
    return dialogs_.MsgBox(text, caption, flags);
  }
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override {
    Open open(depth_);
    return dialogs_.InputBox(caption, prompt, text);
  }
  bool OpenFileName(std::string& path) override {
    Open open(depth_);
    return dialogs_.OpenFileName(path);
  }
  bool OpenFile(const std::string& caption, const std::string& filter, std::string& path) override {
    Open open(depth_);
    return dialogs_.OpenFile(caption, filter, path);
  }
  bool SaveFileName(const std::string& caption, const std::string& filter,
                    std::string& path) override {
    Open open(depth_);
    return dialogs_.SaveFileName(caption, filter, path);
  }
  bool BrowseFolder(const std::string& caption, std::string& folder) override {
    Open open(depth_);
    return dialogs_.BrowseFolder(caption, folder);
  }

 private:
  struct Open {
    explicit Open(int& depth) : depth(depth) { ++depth; }
    ~Open() { --depth; }
    int& depth;
  };
  WorkflowDialogs& dialogs_;
  int& depth_;
};

WindowWorkflow::WindowWorkflow(WindowView& view, WorkflowDialogs& dialogs, Scheduler& scheduler,
                               PrintTarget& printer)
    : view_(view),
      dialogs_(std::make_unique<CountedDialogs>(dialogs, dialogDepth_)),
      scheduler_(scheduler),
      printer_(printer) {}

WindowWorkflow::~WindowWorkflow() = default;

// ---- requests ----

void WindowWorkflow::Submit(Request kind, std::function<void()> run) {
  if (!held_.empty() || !MayRunNow(kind)) {
    held_.push_back(Held{kind, std::move(run)});
    return;
  }
  Guarded(run);
  RunHeld();
}

bool WindowWorkflow::MayRunNow(Request kind) const {
  if (dialogDepth_ > 0) return false;
  switch (job_) {
    case Job::None:
      return true;
    case Job::Listing:
      // The listing changes the file list only: what does not read it may go on meanwhile.
      return kind == Request::Folder || kind == Request::Page || kind == Request::Edit;
    case Job::Searching:
    case Job::Printing:
      return false;
  }
  return false;
}

void WindowWorkflow::RunHeld() {
  while (!held_.empty() && MayRunNow(held_.front().kind)) {
    const Held next = std::move(held_.front());
    held_.pop_front();
    Guarded(next.run);
  }
}

std::optional<std::string> WindowWorkflow::ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::bad_alloc&) {
    return Tr("Mémoire insuffisante.");
  } catch (const std::exception& e) {
    return e.what();
  }
  return std::nullopt;
}

void WindowWorkflow::Guarded(const std::function<void()>& action) {
  if (const std::optional<std::string> error = ErrorOf(action)) ReportError(*error);
}

void WindowWorkflow::ReportError(const std::string& text) {
  dialogs_->MsgBox(text, "QORBgl", UserDialog::kIconStop | UserDialog::kOk);
}

void WindowWorkflow::Start(const WindowSettings& settings, const std::string& commandLinePath) {
  // Before anything is read: a change that a run cut short is put back, and the user told.
  std::vector<std::string> recovered;
  Guarded([&] { recovered = library::OpenUserJournal(); });
  for (const std::string& line : recovered) dialogs_->Message(line);
  page_ = settings.page;
  SetStatus(LangStr(7));
  if (!settings.folder.empty()) ChooseFolder(settings.folder);
  if (!commandLinePath.empty()) OpenPath(commandLinePath);
}

void WindowWorkflow::Close(WindowSettings layout) {
  job_ = Job::None;
  ++jobNumber_;
  held_.clear();
  pendingLine_.reset();
  lines_.Clear();
  bgl_.reset();
  layout.folder = folder_;
  layout.page = page_;
  WriteWindowSettings(layout);
}

void WindowWorkflow::ChooseFolder(const std::string& folder) {
  Submit(Request::Folder, [this, folder] { ListFolder(folder); });
}

void WindowWorkflow::EnterFolder(std::size_t row) {
  if (row < rows_.rows.size()) ChooseFolder(rows_.rows[row].path);
}

void WindowWorkflow::ChooseFile(std::size_t index) {
  if (index >= files_.size()) return;
  // Held, the choice keeps to the entry the user saw: the list may have changed meanwhile.
  const std::string folder = folder_;
  const std::string name = files_[index];
  Submit(Request::File, [this, folder, name] {
    if (folder != folder_) return;
    for (std::size_t i = 0; i < files_.size(); ++i) {
      if (files_[i] != name) continue;
      if (!platform::FileExists(folder_ + name)) {
        // Removed or renamed since the list was made: the entry goes, the open file stays.
        files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(i));
        ReplaceFiles(std::move(files_));
        view_.SetSearchEnabled(files_.size() >= 2);
        dialogs_->Message(
            Tr("Le fichier « %1 » n'est plus dans ce dossier : je le retire de la liste.", {name}));
        return;
      }
      selected_ = i;
      view_.SelectFile(i);
      SetFileField(folder_ + name);
      return;
    }
  });
}

void WindowWorkflow::OpenPath(const std::string& path) {
  Submit(Request::Path, [this, path] { OpenPathNow(path); });
}

void WindowWorkflow::Browse() {
  Submit(Request::Path, [this] {
    const std::string before = status_;
    SetStatus(LangStr(7));
    std::string path = folder_;
    if (dialogs_->OpenFileName(path)) return OpenPathNow(path);
    SetStatus(before);  // nothing chosen: what the line said is still true
  });
}

void WindowWorkflow::HandOver(const std::string& text) {
  const std::string path(Trim(text));
  if (!path.empty()) OpenPath(path);
}

void WindowWorkflow::OpenDefinition(const std::string& file, std::uint32_t offset) {
  pendingLine_ = PendingLine{file, offset};
  view_.ShowPage(Page::Elevations);
  ShowPage(Page::Elevations);
  OpenPath(file);
  // The file may be open with its tree shown already.
  Submit(Request::Path, [this] { SelectPendingLine(); });
}

void WindowWorkflow::OpenPathNow(const std::string& given) {
  const std::string path = platform::AbsolutePath(given);
  if (platform::FolderExists(path)) return ListFolder(IncludeBackslash(path));
  if (!platform::FileExists(path)) return;
  const std::string folder = ExtractFilePath(path);
  if (folder != folder_) ListFolder(folder);
  if (job_ == Job::Listing) {
    pendingFile_ = ExtractFileName(path);  // chosen when the listing ends
  } else {
    ChooseListed(ExtractFileName(path));
  }
}

void WindowWorkflow::ShowPage(Page page) {
  Submit(Request::Page, [this, page] {
    page_ = page;
    view_.SetPrintEnabled(false);
    if (page_ != Page::Elevations) return;
    // The open file changed on disk meanwhile (aligned on the library page, say): it is read
    // again, so that the tree shows what it holds and the next change is not refused.
    if (bgl_ && platform::StampOfPath(fileField_) != bgl_->SeenStamp()) return OpenFieldFile();
    FillTree();
  });
}

void WindowWorkflow::EditLine(std::size_t line) {
  const std::uint64_t tree = treeShown_;
  Submit(Request::Edit, [this, tree, line] {
    if (tree != treeShown_ || !bgl_ || line >= lines_.Size()) return;
    ChangeElevation(line);
    // The keyboard goes back to the line edited, whatever the dialogs did with it.
    if (tree == treeShown_) view_.SelectLine(line);
  });
}

void WindowWorkflow::Cancel() {
  if (job_ == Job::Printing) {
    Guarded([] { PrintDoc().AbortPrint(); });
    EndJob();
  } else if (job_ == Job::Searching) {
    EndJob();  // the list has not changed yet
  } else if (job_ == Job::Listing) {
    pendingFile_.reset();
    EndJob();
    view_.SetSearchEnabled(files_.size() >= 2);
  }
  RunHeld();
}

// ---- status and long tasks ----

void WindowWorkflow::SetStatus(const std::string& text) {
  status_ = text;
  view_.SetStatus(text);
}

void WindowWorkflow::BeginJob(Job job) {
  job_ = job;
  ++jobNumber_;
  statusBeforeJob_ = status_;
  lastProgressMs_ = NowMs();
  view_.SetBusy(true);
}

void WindowWorkflow::EndJob() {
  if (job_ == Job::None) return;
  if (job_ == Job::Printing) {
    printNodes_.clear();
    view_.ShowProgress("", 0, 0);
  }
  job_ = Job::None;
  ++jobNumber_;
  listing_.reset();
  search_.reset();
  SetStatus(statusBeforeJob_);
  view_.SetBusy(false);
}

void WindowWorkflow::PostStep(void (WindowWorkflow::*step)(std::uint64_t)) {
  const std::uint64_t job = jobNumber_;
  scheduler_.Post([this, step, job] { (this->*step)(job); });
}

void WindowWorkflow::ShowProgress(std::size_t done, std::size_t total) {
  const std::int64_t now = NowMs();
  if (now - lastProgressMs_ < kProgressMs) return;
  lastProgressMs_ = now;
  // Not through SetStatus: the status to come back to stays.
  view_.SetStatus(
      Tr("%1 / %2 (Échap pour arrêter)", {std::to_string(done), std::to_string(total)}));
}

// ---- the file list ----

void WindowWorkflow::ListFolder(const std::string& given) {
  const std::string folder = IncludeBackslash(given);
  if (job_ == Job::Listing) EndJob();  // a new fill stops the running one
  if (rows_.folder != folder) rows_ = ReadFolderRows(folder);
  view_.ShowFolder(rows_);
  if (folder != folder_) {
    // The list moves: nothing of another folder stays in the file field or the tree.
    pendingFile_.reset();
    if (!fileField_.empty() || bgl_) CloseFile();
  }
  folder_ = folder;
  files_.clear();
  selected_.reset();
  view_.ClearFiles();
  listing_ = std::make_unique<FolderListing>(folder);
  BeginJob(Job::Listing);
  ListingStep(jobNumber_);  // a small folder is listed before the window takes another event
}

void WindowWorkflow::ListingStep(std::uint64_t job) {
  if (job != jobNumber_ || job_ != Job::Listing) return;
  std::vector<std::string> found;
  bool done = false;
  const std::optional<std::string> error =
      ErrorOf([&] { done = listing_->Step(Clock::now() + scheduler_.StepTime(), found); });
  if (error) {
    // The fill ends at the file that failed; the names found so far stay.
    files_.insert(files_.end(), found.begin(), found.end());
    view_.AppendFiles(found);
    pendingFile_.reset();
    EndJob();
    ReportError(*error);
    RunHeld();
    return;
  }
  files_.insert(files_.end(), found.begin(), found.end());
  if (!found.empty()) view_.AppendFiles(found);
  if (!done) {
    ShowProgress(listing_->Examined(), listing_->Total());
    PostStep(&WindowWorkflow::ListingStep);
    return;
  }
  EndJob();
  view_.SetSearchEnabled(files_.size() >= 2);
  StatusOfList();
  if (pendingFile_) {
    ChooseWhenFree(std::move(*pendingFile_));
    pendingFile_.reset();
  } else if (!fileField_.empty() && ExtractFilePath(fileField_) == folder_) {
    // The folder listed again (after a search, say): the open file's entry stays chosen.
    const std::string open = ExtractFileName(fileField_);
    for (std::size_t i = 0; i < files_.size() && !selected_; ++i) {
      if (files_[i] == open) selected_ = i;
    }
    view_.SelectFile(selected_);
  }
  RunHeld();
}

void WindowWorkflow::StatusOfList() {
  if (files_.empty()) {
    SetStatus(Tr("Ce dossier ne contient aucun fichier BGL au nouveau format."));
  } else {
    StatusOfFile();
  }
}

void WindowWorkflow::StatusOfFile() {
  if (!bgl_) return SetStatus(LangStr(7));
  if (page_ == Page::Elevations && !lines_.Empty()) {
    return SetStatus(LangStr(10));
  }
  const int airports = bgl_->AirportCount();
  SetStatus(Tr(
      "« %1 » : %2. L'onglet « %3 » les montre.",
      {ExtractFileName(fileField_),
       airports == 0 ? Tr("aucun aéroport")
                     : Counted(static_cast<std::size_t>(airports), Tr("aéroport"), Tr("aéroports")),
       LangStr(3)}));
}

void WindowWorkflow::LanguageChanged() {
  if (Working()) return;  // the long task says where it is, in the new language from its next step
  if (bgl_ && !lines_.Empty()) {
    lines_.Fill(*bgl_);
    view_.ShowTree(lines_);
  }
  StatusOfFile();
}

void WindowWorkflow::SelectPendingLine() {
  if (!pendingLine_ || lines_.Empty() || !bgl_) return;
  // Another file's tree may show first (the one open before); the line waits for its own.
  const std::optional<std::string> shown = platform::RealPath(fileField_);
  if (!shown || shown != platform::RealPath(pendingLine_->file)) return;
  const std::uint32_t offset = pendingLine_->offset;
  pendingLine_.reset();
  for (std::size_t line = 0; line < lines_.Size(); ++line) {
    if (lines_.IsAirport(line) && lines_.Offset(line) == offset) return view_.SelectLine(line);
  }
}

void WindowWorkflow::ReplaceFiles(std::vector<std::string> names) {
  files_ = std::move(names);
  selected_.reset();
  view_.ClearFiles();
  view_.AppendFiles(files_);
}

void WindowWorkflow::ChooseWhenFree(std::string name) {
  // A listing may end while a dialog is open (its steps go on meanwhile): opening the file
  // then would replace what the dialog is using.
  const std::string folder = folder_;
  Submit(Request::File, [this, folder, name = std::move(name)] {
    if (folder == folder_) ChooseListed(name);
  });
}

void WindowWorkflow::ChooseListed(const std::string& name) {
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (!SameFileName(files_[i], name)) continue;
    selected_ = i;
    view_.SelectFile(i);
    return SetFileField(folder_ + files_[i]);
  }
  selected_.reset();
  view_.SelectFile(std::nullopt);
  SetFileField(folder_ + name);
}

// ---- the open file ----

void WindowWorkflow::SetFileField(const std::string& path) {
  if (path == fileField_) return;  // the file already open is not opened again
  fileField_ = path;
  view_.SetFileField(path);
  OpenFieldFile();
}

void WindowWorkflow::OpenFieldFile() {
  SetStatus(LangStr(7));
  ClearTree();  // its lines point into the file's records
  bgl_.reset();
  if (!platform::FileExists(fileField_)) return;
  if (!TBGL::CanRead(fileField_)) {
    dialogs_->Message(LangStr(26));
    return;
  }
  bgl_ = std::make_unique<TBGL>(fileField_, DesktopFolder());
  if (page_ == Page::Elevations) return FillTree();
  StatusOfFile();
}

void WindowWorkflow::CloseFile() {
  ClearTree();
  bgl_.reset();
  fileField_.clear();
  view_.SetFileField("");
  SetStatus(LangStr(7));
}

void WindowWorkflow::ClearTree() {
  lines_.Clear();
  ++treeShown_;
  view_.ShowTree(lines_);
  view_.SetPrintEnabled(false);
}

void WindowWorkflow::FillTree() {
  if (!bgl_) return ClearTree();
  if (bgl_->AirportCount() < 1) {
    ClearTree();
    dialogs_->Message(LangStr(11));
    return;
  }
  lines_.Fill(*bgl_);
  ++treeShown_;
  view_.ShowTree(lines_);
  SetStatus(LangStr(10));
  view_.SetPrintEnabled(true);
  SelectPendingLine();
}

std::string WindowWorkflow::LineTip(std::size_t line) const {
  if (!bgl_ || line >= lines_.Size()) return {};
  const TElevation& entry = lines_.Entry(line);
  std::string tip(entry.Caption);
  if (!lines_.IsAirport(line))
    tip += " " + Of(std::string(lines_.Entry(lines_.Parent(line)).Caption));
  const std::int32_t mm = entry.SignedAltitude();
  tip += "\n" + Metres(mm) + " m (" +
         FormatNumber(Variant::Real(mm / 304.8), ' ', true, 0.1, true, false) + " ft)";
  // The airport's ident and position, from its record.
  const std::size_t airportLine = lines_.IsAirport(line) ? line : lines_.Parent(line);
  const TElevation* self = &lines_.Entry(airportLine);
  for (const TAirport1Rec* airport : bgl_->Airports()) {
    if (airport->Elevations.data() == self) return tip + "\n" + AirportPlace(*airport);
  }
  return tip;
}

}  // namespace qor
