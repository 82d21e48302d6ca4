// Linked into every test program: the writes of a test go to a journal kept in memory, as the
// program's own writes go to the user's journal. A test that looks at the journal puts its own
// in place for its length.

#include "bgl/ChangeJournal.h"
#include "tests/support/MemoryJournal.h"

namespace {

qor::test::MemoryJournal journal;
const qor::ScopedJournal inPlace(journal);

}  // namespace
