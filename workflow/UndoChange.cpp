// Ctrl+Z on the elevation page: the last change of the open file taken back, after a question,
// and the file opened again so that the tree shows what it holds.

#include "workflow/UndoChange.h"

#include "bgl/Bgl.h"
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
  std::string text = "Défaire la modification « " + change.record.command + " » du " +
                     library::MomentText(change.timeMs) + " ?\r\n\r\n" +
                     Counted(fields, "altitude reprendra", "altitudes reprendront") +
                     " sa valeur d'avant";
  if (fields > 1) text.replace(text.rfind("sa valeur"), 9, "leur valeur");
  if (change.record.files.size() > 1) {
    text += ", dans " + Counted(change.record.files.size(), "fichier", "fichiers");
  }
  return text + ", là où le fichier tient encore la valeur que la modification y a écrite.";
}

std::string UndoSummary(const library::UndoOutcome& outcome) {
  std::size_t put = 0;
  std::string left;
  for (const library::UndoneField& u : outcome.fields) {
    if (u.putBack) {
      ++put;
    } else {
      left += "\r\n" + ExtractFileName(u.file) + " : " + u.edit.what + " : " + u.why + ".";
    }
  }
  std::string text = "Modification défaite : " +
                     Counted(put, "altitude a repris sa", "altitudes ont repris leur") +
                     " valeur d'avant.";
  if (!left.empty()) text += "\r\n\r\nLaissées telles quelles :" + left;
  return text;
}

void WindowWorkflow::UndoLastChange() {
  Submit(Request::Edit, [this] {
    if (!bgl_) return;
    const library::Journal* stored = library::StoredJournal();
    if (stored == nullptr) {
      dialogs_->Message("Le journal des modifications n'est pas ouvert : je ne peux rien défaire.");
      return;
    }
    const platform::File::Stamp file = bgl_->SeenStamp();
    const std::optional<library::JournalChange> last = library::LastUndoable(
        stored->Read(), [&](const library::JournalChange& c) { return library::Touches(c, file); });
    if (!last) {
      dialogs_->Message(
          "Le journal des modifications ne garde aucune modification de ce fichier "
          "à défaire.");
      return;
    }
    if (dialogs_->MsgBox(UndoQuestion(*last), "Défaire",
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
