#pragma once
// Memory for the large tables of an open file: its records and the lines of its tree.

#include <memory_resource>

namespace qor::platform {

// Hands out blocks of 1 MiB and more straight from the system, backed by large pages where the
// system offers them, and smaller ones from the ordinary heap. A file of tens of megabytes
// fills its tables in a few dozen page faults instead of thousands: on a virtual machine each
// fault costs microseconds, and for a whole command they cost more than reading the file.
// Large blocks let go are kept, up to some tens of megabytes, for the next file of the same
// size. Safe to use from any thread; never exhausted short of the system's own memory.
std::pmr::memory_resource& LargeBlocks();

}  // namespace qor::platform
