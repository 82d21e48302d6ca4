#include "platform/Memory.h"

namespace qor::platform {

// Windows gives large pages only to a process holding the right to lock memory, which a user's
// account does not hold: the heap serves every block, and it takes large ones from the system
// by itself.
std::pmr::memory_resource& LargeBlocks() {
  return *std::pmr::new_delete_resource();
}

}  // namespace qor::platform
