// The search of the listed files for an airport: the list keeps the files that define it and
// the first of them is opened; when none does, the whole folder is listed again.

#include "lang/Tr.h"
#include "util/NumberFormat.h"
#include "workflow/AirportSearch.h"
#include "workflow/LangStr.h"
#include "workflow/WindowWorkflow.h"

namespace qor {

void WindowWorkflow::Search() {
  Submit(Request::Search, [this] {
    if (files_.empty()) {
      dialogs_->Message(LangStr(12));
      return;
    }
    std::string name;
    if (!dialogs_->InputBox(LangStr(13), LangStr(14) + " :", name)) {
      return;
    }
    search_ = std::make_unique<AirportSearch>(folder_, files_, name);
    BeginJob(Job::Searching);
    SearchStep(jobNumber_);
  });
}

void WindowWorkflow::SearchStep(std::uint64_t job) {
  if (job != jobNumber_ || job_ != Job::Searching) return;
  bool done = false;
  const std::optional<std::string> error = ErrorOf(
      [&] { done = search_->Step(std::chrono::steady_clock::now() + scheduler_.StepTime()); });
  if (error) {
    // The list changes once, where the error stops the search: the files examined and not
    // kept go, the one that failed and the rest stay.
    std::vector<std::string> list = search_->ListSoFar();
    EndJob();
    if (list.size() != files_.size()) ReplaceFiles(std::move(list));
    ReportError(*error);
    RunHeld();
    return;
  }
  if (!done) {
    ShowProgress(search_->Examined(), search_->Total());
    PostStep(&WindowWorkflow::SearchStep);
    return;
  }
  std::vector<std::string> kept = search_->Kept();
  const std::size_t total = search_->Total();
  const std::string sought = search_->Name();
  EndJob();
  if (kept.empty()) {
    Guarded([this] { ListFolder(folder_); });
    dialogs_->Message(LangStr(15));
  } else {
    ReplaceFiles(std::move(kept));
    ChooseWhenFree(files_.front());
    // After the file opens: the list no longer shows the whole folder, and the user learns how
    // to see it again.
    SetStatus(
        Tr("« %1 » : %2 sur %3. Un clic sur le dossier les montre tous.",
           {sought, Counted(files_.size(), Tr("fichier"), Tr("fichiers")), std::to_string(total)}));
  }
  RunHeld();
}

}  // namespace qor
