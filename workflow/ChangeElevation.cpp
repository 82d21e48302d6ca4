// The window's one editing action: a line's new elevation asked, checked, confirmed when the
// change is large, written after the backup copy when it changes, and for an airport offered
// to its elements.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "bgl/Bgl.h"
#include "bgl/Change.h"
#include "bgl/Listing.h"
#include "lang/Tr.h"
#include "text/Trim.h"
#include "util/FitText.h"
#include "util/NumberFormat.h"
#include "util/Wording.h"
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
    subject = LangStr(18) + " " + std::string(Trim(LeftText(lines_.Text(line), 20))) + " " +
              Of(std::string(Trim(LeftText(lines_.Text(lines_.Parent(line)), kLabelWidth)))) + " " +
              LangStr(20);
  }
  std::string text = Metres(old, false);
  std::optional<std::int32_t> typed;
  while (!typed) {
    if (!dialogs_->InputBox(LangStr(16), LangStr(17) + " " + Of(subject), text)) {
      return;
    }
    std::string problem;
    typed = ReadMetres(text, problem);
    // Refused, the box comes again with the text as typed.
    if (!typed) dialogs_->Message(problem + "\r\n\r\n" + Tr("Je n'ai rien écrit."));
  }
  const std::int32_t raw = *typed;
  const std::string largeChange = LangStr(21);
  if (std::llabs(std::int64_t{raw} - old) >= kLargeChange &&
      dialogs_->MsgBox(largeChange + "\r\n\r\n" + LangStr(22) + " " + Metres(raw) + " m. ?",
                       LangStr(23), UserDialog::kOkCancel) != UserDialog::kIdOk) {
    return;
  }
  // Nothing can replace the tree while a dialog is open; should it have happened, the line
  // would name another field.
  if (tree != treeShown_) return;
  const Variant value = Variant::Integer(raw);
  // An unchanged value is not written: no rewrite, no backup copy.
  if (raw != old) {
    if (!bgl_->ReplaceValue(offset, 'D', value, *dialogs_)) return;
    view_.LineChanged(line);  // drawn again from its entry, which the rewrite updated
  }
  if (!lines_.IsAirport(line)) return;

  // Giving the elements the airport's value is worth offering even when the airport kept its
  // own; the user is told how many would move and how far, and warned as for the airport.
  std::vector<std::size_t> moving;
  std::int64_t farthest = 0;
  for (std::size_t element = line + 1; element <= line + lines_.ElementCount(line); ++element) {
    const std::int64_t move =
        std::llabs(std::int64_t{raw} - bgl_->ElevationAt(lines_.Offset(element)));
    if (move == 0) continue;
    moving.push_back(element);
    farthest = std::max(farthest, move);
  }
  if (moving.empty()) return;
  const bool large = farthest >= kLargeChange;
  std::string question = LangStr(24) + "\r\n\r\n" + LangStr(42) + " " +
                         std::to_string(moving.size()) + "\r\n" + LangStr(43) + " " +
                         Metres(farthest) + " m";
  if (large) question = largeChange + "\r\n\r\n" + question;
  // Enter answers No when an element would move far.
  const int flags = UserDialog::kYesNo | (large ? UserDialog::kDefButton2 : 0);
  if (dialogs_->MsgBox(question, LangStr(25), flags) != UserDialog::kIdYes || tree != treeShown_) {
    return;
  }
  // The elements change together, as one change of the journal: all of them or none.
  std::vector<FileWrites> change{{bgl_.get(), {}, {}}};
  for (const std::size_t element : moving) {
    change[0].fields.push_back({lines_.Offset(element), 'D', raw, std::nullopt, ""});
  }
  if (!WriteChange(change, ChangeOptions{}, *dialogs_).accepted) return;
  for (const std::size_t element : moving) view_.LineChanged(element);
}

}  // namespace qor
