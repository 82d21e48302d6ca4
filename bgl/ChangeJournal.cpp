#include "bgl/ChangeJournal.h"

#include "lang/Tr.h"
#include "platform/Errors.h"

namespace qor {

namespace {

// What a process that opened no journal has: no change can be recorded, so none is made.
class NoJournal : public ChangeJournal {
 public:
  std::uint64_t Begin(const ChangeRecord&) override {
    throw Exception(
        Tr("Le journal des modifications n'est pas ouvert : je n'écris rien, car une "
           "modification interrompue ne pourrait pas être défaite."));
  }
  void Finish(std::uint64_t, End) override {}
  void NoteBackup(const BackupRecord&) override {}
};

NoJournal noJournal;
ChangeJournal* current = &noJournal;

}  // namespace

ChangeJournal& CurrentJournal() {
  return *current;
}

void UseJournal(ChangeJournal& journal) {
  current = &journal;
}

ScopedJournal::ScopedJournal(ChangeJournal& journal) : previous_(current) {
  current = &journal;
}

ScopedJournal::~ScopedJournal() {
  current = previous_;
}

}  // namespace qor
