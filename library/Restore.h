#pragma once
// Putting a file's backup copy back, only when the copy is that file's: it has the file's length
// and differs from it only inside the elevation fields of the file's airports, and, when the
// journal recorded the making of the copy (a copy older than the journal has no record), it was
// made of this very file on disk, not of another of the same name nor of one since replaced. The
// copy goes back field by field as a change of its own, recorded in the journal and locked as every
// change: a link keeps pointing where it pointed, a hard link sees the same file, and an undo takes
// the restore back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "bgl/UserDialog.h"
#include "library/Journal.h"

namespace qor::library {

struct RestoreOutcome {
  enum class Result {
    Restored,  // the fields put back
    Same,      // the file already holds what the copy holds
    NoCopy,    // there is no copy of that name
    Refused,   // the copy is not the file's: message says why, nothing changed
  };
  Result result = Result::Refused;
  std::string copy;     // the copy's path
  std::string message;  // for NoCopy and Refused
  std::size_t fields = 0;
  std::uint64_t change = 0;
};

// Restores file from its copy in "QORBgl Backup" on desktopFolder. journal tells whose copies
// were made. Raises Exception or EInOutError when a file cannot be read or written.
RestoreOutcome Restore(const std::string& file, const std::string& desktopFolder,
                       const JournalContents& journal, UserDialog& dialog);

}  // namespace qor::library
