#pragma once
// What every run of the program does before it reads or writes anything: a change that a run
// cut short (a crash, a kill, a power cut) is found unfinished in the journal and put back,
// field by field, where the field still holds the change's new bytes; a field that holds
// anything else is left as it is, and said so. The change is then marked rolled back. So an
// alignment stopped midway leaves every definition at its old value.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/Journal.h"

namespace qor::library {

// What recovery does with one field of an unfinished change, from the bytes the file holds
// there now (nothing when they cannot be read): the old bytes go back only where the change's
// new ones provably are.
enum class FieldAction { PutBack, AlreadyBack, Leave };
FieldAction DecideField(const FieldEdit& edit,
                        const std::optional<std::array<std::uint8_t, 4>>& now);

// Puts back the unfinished changes whose writers are gone (a change whose files another
// process still holds locked is at work and left alone). One French line per change handled,
// for the user; none when there was nothing to do. Raises Exception when the journal exists
// but cannot be read.
std::vector<std::string> RecoverUnfinished(const Journal& journal);

// The user's journal (Journal::UserPath() as it is now), put in place for the rest of the
// process after its unfinished changes were recovered; the lines of RecoverUnfinished. A front
// end calls it at its start, before it reads or writes anything.
std::vector<std::string> OpenUserJournal();

// The journal on disk that the changes of this process go to; null when they go elsewhere
// (none opened, or one kept in memory by a test).
const Journal* StoredJournal();

}  // namespace qor::library
