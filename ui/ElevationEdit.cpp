// The window's two working actions: changing an elevation from the tree, and searching the
// listed files for an airport.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <cmath>
#include <limits>

#include "ui/Controls.h"
#include "ui/FolderList.h"
#include "ui/LangStr.h"
#include "ui/Main.h"
#include "ui/ProgressStatus.h"
#include "ui/TreeAdapter.h"
#include "util/Environment.h"
#include "util/Evaluator.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"

namespace qor {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

std::string Trimmed(const QString& text) {
  return S(text.trimmed());
}

std::string Metres(double metres, double spec, bool grouped) {
  return FormatNumber(Variant::Real(metres), ' ', true, spec, grouped, false);
}

}  // namespace

double LineElevation(const QString& line, const platform::NumberSymbols& symbols) {
  // The column holds what FormatNumber wrote, with the symbols of this locale.
  return StrToValueFormatted(Trimmed(line.mid(kLabelWidth)), symbols).AsReal();
}

void TfMain::ChangeElevation(QTreeWidgetItem* node) {
  node->setExpanded(true);
  const double old = LineElevation(node->text(0), CurrentNumberSymbols());
  std::string value = Metres(old, 0.3, false);

  QTreeWidgetItem* airport = node->parent();
  std::string subject;
  if (airport == nullptr) {
    subject = Trimmed(node->text(0).left(kLabelWidth));
  } else {
    subject = LangStr(18, "la") + " " + Trimmed(node->text(0).left(20)) + " " + LangStr(19, "de") +
              " " + Trimmed(airport->text(0).left(kLabelWidth)) + " " + LangStr(20, "");
  }
  if (!Dialogs().InputBox(LangStr(16, "Modification d'élévation"),
                          LangStr(17, "Nouvelle élévation en mètres de") + " " + subject, value)) {
    return;
  }
  const double entered = StrToValue(value).AsReal();
  if (std::fabs(entered - old) >= 10.0 &&
      MsgBox(LangStr(21, "Changement de plus de 10 mètres ???") + "\r\n\r\n" +
                 LangStr(22, "Confirmez-vous") + " " + Metres(entered, 0.3, true) + " m. ?",
             LangStr(23, "Attention"), UserDialog::kOkCancel) != UserDialog::kIdOk) {
    return;
  }
  const double raw = std::nearbyint(entered * 1000.0);  // ties to even
  if (!(raw >= std::numeric_limits<std::int32_t>::min() &&
        raw <= std::numeric_limits<std::int32_t>::max())) {
    ShowMessage(Metres(entered, 0.3, true) +
                " m ne tient pas dans le champ d'altitude d'un BGL (de -2 147 483,648 à "
                "2 147 483,647 m) : je n'ai rien écrit.");
    return;
  }
  const Variant millimetres = Variant::Integer(static_cast<std::int32_t>(raw));
  const QString column = Q(Metres(entered, 9.3, true));
  if (!bgl_->ReplaceValue(TreeAdapter::DataOf(node), 'D', millimetres, Dialogs())) return;
  node->setText(0, node->text(0).left(kLabelWidth) + column);
  if (airport != nullptr) return;

  if (MsgBox(LangStr(24, "Voulez-vous également changer l'altitude des éléments de l'aéroport ?"),
             LangStr(25, "Autres éléments"), UserDialog::kYesNo) != UserDialog::kIdYes) {
    return;
  }
  for (int i = 0; i < node->childCount(); ++i) {
    QTreeWidgetItem* element = node->child(i);
    if (bgl_->ReplaceValue(TreeAdapter::DataOf(element), 'D', millimetres, Dialogs())) {
      element->setText(0, element->text(0).left(kLabelWidth) + column);
    }
  }
}

void TfMain::SearchAirport() {
  if (lbFiles_->count() == 0) {
    ShowMessage(LangStr(
        12,
        "Sélectionnez d'abord un dossier contenant plusieurs fichiers BGL au nouveau format svp."));
    return;
  }
  std::string name;
  if (!Dialogs().InputBox(LangStr(13, "Recherche"), LangStr(14, "Aéroport à chercher") + " :",
                          name)) {
    return;
  }
  const QString status = pSb_->text();
  {
    const WaitCursor busy;
    // Removing entries must not open the files that come to be selected meanwhile.
    const QSignalBlocker quiet(lbFiles_);
    const std::string folder = IncludeBackslash(S(lbDir_->Folder()));
    QStringList entries;
    for (int i = 0; i < lbFiles_->count(); ++i) entries.push_back(lbFiles_->item(i)->text());
    QStringList kept;
    qsizetype examined = 0;
    // The list changes once, when the search ends or where an error stops it (the entries not
    // examined yet stay): removing entries one by one costs more than examining the files.
    struct Narrow {
      QListWidget* list;
      const QStringList& entries;
      const QStringList& kept;
      const qsizetype& examined;
      ~Narrow() {
        if (kept.size() == examined) return;  // nothing to remove
        const QStringList left = kept + entries.mid(examined);
        list->clear();
        list->addItems(left);
      }
    } narrow{lbFiles_, entries, kept, examined};
    ProgressStatus progress(pSb_, static_cast<int>(entries.size()),
                            QEventLoop::ExcludeUserInputEvents);
    while (examined < entries.size()) {
      progress.Step(static_cast<int>(examined) + 1);
      const TBGL candidate(folder + S(entries[examined]), DesktopFolder());
      if (candidate.FindAirport(name)) kept.push_back(entries[examined]);
      ++examined;
    }
  }
  if (lbFiles_->count() == 0) {
    Clic(lbDir_);
    SetStatus(S(status));
    ShowMessage(LangStr(15, "Pas trouvé dans cette liste."));
    return;
  }
  SetStatus(S(status));
  lbFiles_->setCurrentRow(0);
  Clic(lbFiles_);
}

}  // namespace qor
