#pragma once
// A journal of changes kept in memory, for tests of the writes below the scenery library: it
// remembers what it was told, and can be made to refuse.

#include <string>
#include <vector>

#include "bgl/ChangeJournal.h"
#include "platform/Errors.h"

namespace qor::test {

class MemoryJournal : public ChangeJournal {
 public:
  struct Ended {
    std::uint64_t change;
    End end;
  };

  std::uint64_t Begin(const ChangeRecord& change) override {
    if (refuseBegin) throw Exception("journal plein");
    begun.push_back(change);
    return begun.size();
  }
  void Finish(std::uint64_t change, End end) override {
    if (refuseFinish) throw Exception("journal plein");
    ended.push_back({change, end});
  }
  void NoteBackup(const BackupRecord& backup) override { backups.push_back(backup); }

  bool refuseBegin = false;
  bool refuseFinish = false;
  std::vector<ChangeRecord> begun;
  std::vector<Ended> ended;
  std::vector<BackupRecord> backups;
};

}  // namespace qor::test
