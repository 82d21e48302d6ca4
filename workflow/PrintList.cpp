// The print button: the open file's airport tree as a titled listing on the default printer,
// or, where there is none, in a PDF file the user names.

#include "bgl/Bgl.h"
#include "lang/Tr.h"
#include "platform/File.h"
#include "print/QORDoc.h"
#include "util/Environment.h"
#include "util/FileUtil.h"
#include "workflow/LangStr.h"
#include "workflow/WindowWorkflow.h"

namespace qor {

namespace {

std::string WithoutExtension(const std::string& name) {
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::vector<PrintNode> PrintOut(const AirportLines& lines) {
  std::vector<PrintNode> nodes;
  nodes.reserve(lines.Size());
  for (std::size_t i = 0; i < lines.Size(); ++i) {
    nodes.push_back(PrintNode{lines.IsAirport(i) ? 0 : 1, std::string(lines.Text(i)), true, 0});
  }
  return nodes;
}

void WindowWorkflow::PrintList() {
  Submit(Request::Print, [this] {
    if (page_ != Page::Elevations) {
      dialogs_->Message(LangStr(9));
      return;
    }
    if (!bgl_ || lines_.Empty()) return;  // nothing to print, nothing said to be printed
    // The open file's name, whether or not the list still selects it.
    const std::string name = ExtractFileName(bgl_->FileName);
    const std::string title = LangStr(8) + " " + name;
    std::string pdf;
    if (!printer_.HasDefaultPrinter()) {
      if (!printer_.CanWritePdf()) {
        dialogs_->Message(Tr("Aucune imprimante par défaut n'est installée."));
        return;
      }
      if (dialogs_->MsgBox(Tr("Aucune imprimante par défaut n'est installée.\r\n\r\n"
                              "Voulez-vous enregistrer la liste dans un fichier PDF ?"),
                           "QORBgl",
                           UserDialog::kYesNo | UserDialog::kIconQuestion) != UserDialog::kIdYes) {
        return;
      }
      pdf = DesktopFolder() + WithoutExtension(name) + ".pdf";
      if (!dialogs_->SaveFileName(Tr("Enregistrer la liste en PDF"), "PDF (*.pdf)", pdf)) return;
    }
    PrintDoc().SetSurface(printer_.Surface(pdf));
    PrintDoc().BeginTree(title);
    printNodes_ = PrintOut(lines_);
    printNext_ = 0;
    printPdf_ = pdf;
    BeginJob(Job::Printing);
    view_.ShowProgress(Tr("Impression de la liste des aéroports..."), 0, printNodes_.size());
    PrintStep(jobNumber_);
  });
}

void WindowWorkflow::PrintStep(std::uint64_t job) {
  if (job != jobNumber_ || job_ != Job::Printing) return;
  const auto until = std::chrono::steady_clock::now() + scheduler_.StepTime();
  bool done = false;
  const std::optional<std::string> error = ErrorOf([&] {
    while (printNext_ < printNodes_.size()) {
      PrintDoc().PrintTreeNode(printNodes_[printNext_], printNext_, false, -1, true);
      ++printNext_;
      if (std::chrono::steady_clock::now() >= until) break;
    }
    if (printNext_ < printNodes_.size()) return;
    PrintDoc().EndPrint();  // the job goes to the printer, the PDF is written whole
    done = true;
  });
  if (error) {
    Guarded([] { PrintDoc().AbortPrint(); });
    EndJob();
    ReportError(*error);
    RunHeld();
    return;
  }
  if (!done) {
    view_.ShowProgress(Tr("Impression de la liste des aéroports..."), printNext_,
                       printNodes_.size());
    PostStep(&WindowWorkflow::PrintStep);
    return;
  }
  const std::string pdf = printPdf_;
  EndJob();
  if (!pdf.empty()) dialogs_->Message(Tr("La liste a été enregistrée dans \"%1\".", {pdf}));
  RunHeld();
}

}  // namespace qor
