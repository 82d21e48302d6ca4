#pragma once
// Where every change of a BGL file is recorded before its first byte is written: the file, its
// identity and state, and each field's bytes before and after. A change cut short (a crash, a
// kill, a power cut) can then be undone by the next run, and every change explained later. The
// scenery library's journal on disk keeps it; tests may keep it in memory.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"

namespace qor {

// One field of a change: where it lies and its bytes before and after.
struct FieldEdit {
  std::uint32_t offset = 0;
  std::uint8_t width = 4;  // 1, 2 or 4 bytes
  std::array<std::uint8_t, 4> before{};
  std::array<std::uint8_t, 4> after{};
  std::string what;  // the airport's name, or the runway's or start's caption and its airport's
};

// A field's bytes as the value they hold: an elevation (4 bytes) as signed millimetres, a
// narrower field as its unsigned value.
inline std::int64_t FieldValue(const std::array<std::uint8_t, 4>& bytes, std::uint8_t width) {
  std::uint32_t v = 0;
  for (std::uint8_t i = width; i-- > 0;) v = (v << 8) | bytes[i];
  return width == 4 ? std::int64_t{static_cast<std::int32_t>(v)} : std::int64_t{v};
}

// The fields changed in one file, and the file as it was just before.
struct FileEdit {
  std::string path;
  platform::File::Stamp stamp;  // identity, size and time of change before the first write
  std::vector<FieldEdit> fields;
};

struct ChangeRecord {
  std::string command;       // what made it: "set", "align LFLJ", "fenêtre", "restore", "undo"
  std::uint64_t undoes = 0;  // the change this one takes back, if it is an undo
  std::vector<FileEdit> files;
};

// A backup copy made of a file, so that a later restore knows whose copy it is.
struct BackupRecord {
  std::string path;
  platform::File::Stamp stamp;  // of the file copied
  std::string copy;
};

class ChangeJournal {
 public:
  enum class End { Done, RolledBack };

  virtual ~ChangeJournal() = default;
  // Records a change about to be made, on disk when this returns; its number. Raises Exception
  // with a French text when it cannot be recorded: nothing may be written then.
  virtual std::uint64_t Begin(const ChangeRecord& change) = 0;
  // The change is over: every field written and flushed (Done), or every field written put
  // back (RolledBack). Raises Exception when that cannot be recorded.
  virtual void Finish(std::uint64_t change, End end) = 0;
  // A backup copy was made. Raises Exception when it cannot be recorded.
  virtual void NoteBackup(const BackupRecord& backup) = 0;
};

// The journal the changes of this process go to: the one a front end put in place, or, when
// none was, one that refuses every change (nothing is ever written unrecorded).
ChangeJournal& CurrentJournal();

// Puts journal in place for the rest of the process (a front end at its start).
void UseJournal(ChangeJournal& journal);

// Puts a journal in place for its own lifetime (a test).
class ScopedJournal {
 public:
  explicit ScopedJournal(ChangeJournal& journal);
  ~ScopedJournal();
  ScopedJournal(const ScopedJournal&) = delete;
  ScopedJournal& operator=(const ScopedJournal&) = delete;

 private:
  ChangeJournal* previous_;
};

}  // namespace qor
