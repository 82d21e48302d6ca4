// Ctrl+Z on the elevation page: the last change of the open file taken back, after a question,
// and the file opened again so that the tree shows what it holds.

#include "workflow/UndoChange.h"

#include "bgl/Bgl.h"
#include "lang/Tr.h"
#include "library/Journal.h"
#include "library/Recovery.h"
#include "library/Undo.h"
#include "util/Environment.h"
#include "util/FileUtil.h"
#include "util/NumberFormat.h"
#include "workflow/WindowWorkflow.h"

namespace qor {

std::string UndoQuestion(const library::JournalChange& change) {
  std::size_t fields = 0;
  for (const FileEdit& f : change.record.files) fields += f.fields.size();
  const std::string question = Tr("Défaire la modification « %1 » du %2 ?",
                                  {change.record.command, library::MomentText(change.timeMs)});
  const std::string counted = Counted(fields, Tr("altitude"), Tr("altitudes"));
  std::string what;
  if (fields <= 1) {
    what =
        Tr("%1 reprendra sa valeur d'avant, là où le fichier tient encore la valeur que la "
           "modification y a écrite.",
           {counted});
  } else if (change.record.files.size() <= 1) {
    what =
        Tr("%1 reprendront leur valeur d'avant, là où le fichier tient encore la valeur que la "
           "modification y a écrite.",
           {counted});
  } else {
    what =
        Tr("%1 reprendront leur valeur d'avant, dans %2, là où le fichier tient encore la "
           "valeur que la modification y a écrite.",
           {counted, Counted(change.record.files.size(), Tr("fichier"), Tr("fichiers"))});
  }
  return question + "\r\n\r\n" + what;
}

std::string UndoSummary(const library::UndoOutcome& outcome) {
  std::size_t put = 0;
  std::string left;
  for (const library::UndoneField& u : outcome.fields) {
    if (u.putBack) {
      ++put;
    } else {
      left += "\r\n" + Tr("%1 : %2 : %3.", {ExtractFileName(u.file), u.edit.what, u.why});
    }
  }
  const std::string counted = Counted(put, Tr("altitude"), Tr("altitudes"));
  std::string text =
      put == 1 ? Tr("Modification défaite : %1 a repris sa valeur d'avant.", {counted})
               : Tr("Modification défaite : %1 ont repris leur valeur d'avant.", {counted});
  if (!left.empty()) text += "\r\n\r\n" + Tr("Laissées telles quelles :") + left;
  return text;
}

void WindowWorkflow::UndoLastChange() {
  Submit(Request::Edit, [this] {
    if (!bgl_) return;
    const library::Journal* stored = library::StoredJournal();
    if (stored == nullptr) {
      dialogs_->Message(
          Tr("Le journal des modifications n'est pas ouvert : je ne peux rien défaire."));
      return;
    }
    const platform::File::Stamp file = bgl_->SeenStamp();
    const std::optional<library::JournalChange> last = library::LastUndoable(
        stored->Read(), [&](const library::JournalChange& c) { return library::Touches(c, file); });
    if (!last) {
      dialogs_->Message(
          Tr("Le journal des modifications ne garde aucune modification de ce fichier à "
             "défaire."));
      return;
    }
    if (dialogs_->MsgBox(UndoQuestion(*last), Tr("Défaire"),
                         UserDialog::kYesNo | UserDialog::kIconQuestion) != UserDialog::kIdYes) {
      return;
    }
    const library::UndoOutcome outcome =
        library::Undo(*last, "fenêtre : défaire", DesktopFolder(), *dialogs_);
    if (!outcome.made) return;
    // The file changed under the open object: opened again, its tree shows what it holds.
    OpenFieldFile();
    dialogs_->Message(UndoSummary(outcome));
  });
}

}  // namespace qor
