#pragma once
// Taking back a change that was made whole, as its own change recorded in the journal: field by
// field, the old bytes go back where the field still holds the change's new ones; a field that
// holds anything else (changed since by someone else) is left as it is, and said so.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bgl/UserDialog.h"
#include "library/Journal.h"

namespace qor::library {

// Whether a change is an alignment (its command names it so).
bool IsAlignment(const JournalChange& change);

// The newest change that undo takes back: made whole, not undone yet, not an undo itself, and
// accepted by `which` when given. Nothing when there is none.
std::optional<JournalChange> LastUndoable(
    const JournalContents& contents,
    const std::function<bool(const JournalChange&)>& which = nullptr);

// Whether a change touched the file on disk that stamp identifies.
bool Touches(const JournalChange& change, const platform::File::Stamp& stamp);

struct UndoneField {
  std::string file;
  FieldEdit edit;        // as the change wrote it: before is what goes back
  bool putBack = false;  // false: left as it is
  std::string why;       // for a field left: why
};

struct UndoOutcome {
  bool made = false;         // false: refused, nothing written (dialog was told why)
  std::uint64_t change = 0;  // the undo's own number in the journal
  std::vector<UndoneField> fields;
};

// Takes change back; command names the undo in the journal. Files are reopened by their paths
// (a file that is another one now keeps all its fields). Raises Exception or EInOutError as a
// change does (bgl/Change.h).
UndoOutcome Undo(const JournalChange& change, const std::string& command,
                 const std::string& desktopFolder, UserDialog& dialog);

}  // namespace qor::library
