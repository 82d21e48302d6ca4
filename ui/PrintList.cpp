// The print button: the open file's airport list on the default printer, or, where there is
// none, in a PDF file the user names.

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include "print/QORDoc.h"
#include "ui/Controls.h"
#include "ui/LangStr.h"
#include "ui/Main.h"
#include "ui/QtPrintSurface.h"
#include "util/Environment.h"

namespace qor {

namespace {

// Every line of the tree in its own order, collapsed airports' elements included.
void Collect(const QTreeWidgetItem* item, int level, bool visible, std::vector<PrintNode>& out) {
  out.push_back(PrintNode{level, item->text(0).toStdString(), visible, 0});
  for (int i = 0; i < item->childCount(); ++i) {
    Collect(item->child(i), level + 1, visible && item->isExpanded(), out);
  }
}

}  // namespace

void TfMain::PrintList() {
  if (pc_->currentWidget() != tsElev_) {
    ShowMessage(LangStr(9, "Oups, pas encore programmé pour cet onglet."));
    return;
  }
  const std::string title = LangStr(8, "Aéroports et altitudes de") + " " + ObjSelected(lbFiles_);
  std::vector<PrintNode> nodes;
  for (int i = 0; i < tvElev_->topLevelItemCount(); ++i) {
    Collect(tvElev_->topLevelItem(i), 0, true, nodes);
  }
  std::string pdf;
  if (!QtPrintSurface::HasDefaultPrinter()) {
    if (MsgBox("Aucune imprimante par défaut n'est installée.\r\n\r\n"
               "Voulez-vous enregistrer la liste dans un fichier PDF ?",
               "QORBgl", UserDialog::kYesNo | kMbIconQuestion) != UserDialog::kIdYes) {
      return;
    }
    pdf = DesktopFolder() + QFileInfo(eFichier_->text()).completeBaseName().toStdString() + ".pdf";
    if (!Dialogs().SaveFileName("Enregistrer la liste en PDF", "PDF (*.pdf)", pdf)) return;
  }
  PrintDoc().SetSurface(std::make_unique<QtPrintSurface>(QString::fromStdString(pdf)));
  PrintDoc().PrintTree(title, nodes, false, -1, true);
  if (!pdf.empty()) ShowMessage("La liste a été enregistrée dans \"" + pdf + "\".");
}

}  // namespace qor
