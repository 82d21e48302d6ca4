#pragma once
// The journal of changes on disk: every change of a BGL file, recorded and flushed before its
// first byte is written, marked done once every byte is on disk; the backup copies made.
//
// One text file, appended to and never rewritten in place: one record a line, each line
// carrying the CRC-32 of its text, so that a line cut short by a crash (or damaged) is known and
// passed over, never trusted. A lock file beside it lets one process at a time append; the
// journal is kept under a size by dropping its oldest records, never those of an unfinished
// change. Texts (paths, commands, names) are written with their spaces, control characters,
// non-ASCII bytes and '%' as %XX, so that a record stays one line whatever they hold.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bgl/ChangeJournal.h"

namespace qor::library {

// One change as the journal tells it.
struct JournalChange {
  enum class State { Unfinished, Done, RolledBack, Undone };

  std::uint64_t id = 0;
  std::int64_t timeMs = 0;  // since 1 January 1970, UTC
  ChangeRecord record;
  State state = State::Unfinished;
  std::uint64_t undoneBy = 0;  // the change that took it back (State::Undone)
};

struct JournalCopy {
  std::int64_t timeMs = 0;
  BackupRecord record;
};

struct JournalContents {
  std::vector<JournalChange> changes;  // oldest first
  std::vector<JournalCopy> copies;     // oldest first
  std::size_t damaged = 0;             // lines passed over: cut short or not what they say
  std::uint64_t lastId = 0;            // the highest change number recorded
};

class Journal : public ChangeJournal {
 public:
  // Past this size the oldest records go, down to half of it.
  static constexpr std::uint64_t kDefaultLimit = 1024 * 1024;

  // The user's journal: "QORBgl/journal" in the local application data ($XDG_DATA_HOME, or
  // %LOCALAPPDATA% on Windows).
  static std::string UserPath();

  explicit Journal(std::string path, std::uint64_t limit = kDefaultLimit);

  std::uint64_t Begin(const ChangeRecord& change) override;
  void Finish(std::uint64_t change, End end) override;
  void NoteBackup(const BackupRecord& backup) override;

  // Everything the journal holds, read under its lock; empty when there is no journal yet.
  // Raises Exception when it exists but cannot be read.
  JournalContents Read() const;

  // Runs work with the journal locked against every other process, giving it the unfinished
  // changes the journal holds and a way to append records (each appended and flushed at once).
  // Recovery uses it: nothing may begin or end while it looks.
  using Append = std::function<void(const std::string& record)>;
  void Locked(const std::function<void(const JournalContents&, const Append&)>& work) const;

  const std::string& Path() const { return path_; }

  // The record texts of Begin, Finish and NoteBackup (the record only: its checksum and line
  // end are added when it is appended).
  static std::string BeginRecord(std::uint64_t id, std::int64_t timeMs, const ChangeRecord& change);
  static std::string EndRecord(std::uint64_t id, End end);
  static std::string CopyRecord(std::int64_t timeMs, const BackupRecord& backup);
  // What the bytes of a journal say, damaged lines passed over; never raises.
  static JournalContents Parse(std::string_view bytes);
  // The same, of the unfinished changes only: the others are not read past their numbers.
  static JournalContents ParseUnfinished(std::string_view bytes);

 private:
  class Session;

  std::string path_;
  std::uint64_t limit_;
};

// Milliseconds since 1 January 1970 (UTC), now.
std::int64_t NowMs();
// A moment as the user reads it: "08/12/2026 20:41" (in French).
std::string MomentText(std::int64_t timeMs);
// The command a change records as the user reads it: the window's in the current language
// ("fenêtre", "fenêtre : défaire"), the command line's as typed ("align LFLJ", "set").
std::string CommandText(const std::string& command);

}  // namespace qor::library
