#pragma once
// A change of one or several open BGL files, made all or nothing. Every file is locked for
// writing, checked to be still what was read, copied into "QORBgl Backup" (once per open file);
// then the change is recorded in the journal and flushed, and only then are the fields written,
// each file flushed, and the change marked done. A write that fails puts back what was written;
// a process killed meanwhile leaves a change that the next run finds unfinished and puts back.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bgl/ChangeJournal.h"
#include "bgl/UserDialog.h"

namespace qor {

class TBGL;

struct FieldWrite {
  std::uint32_t offset = 0;
  char code = 'D';         // B, W or D: 1, 2 or 4 bytes
  std::int64_t value = 0;  // its low bits, little-endian (a negative value in two's complement)
  // The value the field must hold for the change to go ahead (its low bits), when the caller
  // read it earlier: a field that holds another refuses the whole change, or is left alone with
  // ChangeOptions::skipChanged.
  std::optional<std::int64_t> expected;
  std::string what;  // for the journal: the airport's name, or the element's caption
};

struct FileWrites {
  TBGL* bgl = nullptr;
  std::vector<FieldWrite> fields;
  // The file on disk that must be written (an undo or a restore of a recorded file): a file
  // that is another one now is refused, or all its fields left alone with skipChanged.
  std::optional<platform::File::Stamp> identity;
};

struct ChangeOptions {
  std::string command = "fenêtre";  // what the journal says made the change
  std::uint64_t undoes = 0;         // the change that this one takes back
  bool backup = true;               // each file copied into "QORBgl Backup" first
  // When a copy cannot be made: the question whether to go on without one (true), or the
  // change refused with a message (false).
  bool askWithoutBackup = true;
  bool skipChanged = false;
};

struct ChangeResult {
  // False: refused, a message said why, and nothing was written.
  bool accepted = false;
  std::uint64_t change = 0;  // its number in the journal; 0 when no field needed writing
  std::size_t written = 0;   // fields written
  // Fields left alone (skipChanged), as (file, field) indexes into the request.
  std::vector<std::pair<std::size_t, std::size_t>> left;
  // The backup copies made, as (file, copy).
  std::vector<std::pair<std::string, std::string>> copies;
};

// How long a change waits for another writer of one of its files to finish.
inline constexpr int kLockWaitMs = 2000;

// Makes the change. Paths that reach one file (its links, "..", another spelling) count once:
// their fields are written through the first of them. A field that already holds its value is
// not written; a change with nothing to write makes no copy and records nothing. Messages
// (refusals, the copy made) and the question about going on without a copy go to dialog, never
// while a file is locked. Raises EInOutError when a write fails (its text says whether the old
// bytes are back) and Exception when the journal cannot record the change (nothing written).
ChangeResult WriteChange(std::vector<FileWrites>& files, const ChangeOptions& options,
                         UserDialog& dialog, ChangeJournal& journal = CurrentJournal());

}  // namespace qor
