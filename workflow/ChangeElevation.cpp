// The window's one editing action: a line's new elevation asked, checked, confirmed when the
// change is large, written after the backup copy, and for an airport offered to its elements.

#include <cstdlib>

#include "bgl/Bgl.h"
#include "bgl/Listing.h"
#include "util/FitText.h"
#include "util/NumberFormat.h"
#include "workflow/ElevationInput.h"
#include "workflow/LangStr.h"
#include "workflow/WindowWorkflow.h"

namespace qor {

namespace {

// A change of this many thousandths of a metre or more is confirmed first.
constexpr std::int64_t kLargeChange = 10000;

}  // namespace

void WindowWorkflow::ChangeElevation(std::size_t line) {
  view_.ExpandLine(line);
  const std::uint64_t tree = treeShown_;
  const std::uint32_t offset = lines_.Offset(line);
  const std::int32_t old = bgl_->ElevationAt(offset);  // what the file holds, not the line

  std::string subject;
  if (lines_.IsAirport(line)) {
    subject = Trim(LeftText(lines_.Text(line), kLabelWidth));
  } else {
    subject = LangStr(18, "la") + " " + Trim(LeftText(lines_.Text(line), 20)) + " " +
              LangStr(19, "de") + " " +
              Trim(LeftText(lines_.Text(lines_.Parent(line)), kLabelWidth)) + " " + LangStr(20, "");
  }
  std::string text = Metres(old, false);
  std::optional<std::int32_t> typed;
  while (!typed) {
    if (!dialogs_->InputBox(LangStr(16, "Modification d'élévation"),
                            LangStr(17, "Nouvelle élévation en mètres de") + " " + subject, text)) {
      return;
    }
    std::string problem;
    typed = ReadMetres(text, problem);
    // Refused, the box comes again with the text as typed.
    if (!typed) dialogs_->Message(problem + "\r\n\r\nJe n'ai rien écrit.");
  }
  const std::int32_t raw = *typed;
  if (std::llabs(std::int64_t{raw} - old) >= kLargeChange &&
      dialogs_->MsgBox(LangStr(21, "Changement de plus de 10 mètres ???") + "\r\n\r\n" +
                           LangStr(22, "Confirmez-vous") + " " + Metres(raw) + " m. ?",
                       LangStr(23, "Attention"), UserDialog::kOkCancel) != UserDialog::kIdOk) {
    return;
  }
  // Nothing can replace the tree while a dialog is open; should it have happened, the line
  // would name another field.
  if (tree != treeShown_) return;
  const Variant value = Variant::Integer(raw);
  if (!bgl_->ReplaceValue(offset, 'D', value, *dialogs_)) return;
  view_.LineChanged(line);  // drawn again from its entry, which the rewrite updated
  if (!lines_.IsAirport(line)) return;

  if (dialogs_->MsgBox(
          LangStr(24, "Voulez-vous également changer l'altitude des éléments de l'aéroport ?"),
          LangStr(25, "Autres éléments"), UserDialog::kYesNo) != UserDialog::kIdYes ||
      tree != treeShown_) {
    return;
  }
  for (std::size_t element = line + 1; element <= line + lines_.ElementCount(line); ++element) {
    if (bgl_->ReplaceValue(lines_.Offset(element), 'D', value, *dialogs_)) {
      view_.LineChanged(element);
    }
  }
}

}  // namespace qor
