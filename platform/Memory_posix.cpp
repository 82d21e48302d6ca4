#include "platform/Memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <iterator>
#include <mutex>
#include <new>
#include <vector>

namespace qor::platform {

namespace {

constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
// Transparent huge pages are 2 MiB on the systems this runs on; a block is mapped on such a
// boundary and in whole pages of that size so that the kernel can back all of it with them.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t Rounded(std::size_t bytes) {
  return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

// Blocks let go are kept for the next file, up to this many bytes: a block the process has
// touched costs nothing more, where a fresh one costs its page faults and its clearing (and on
// a virtual machine that has given the memory back to its host, the host's faults too).
constexpr std::size_t kKeptBytes = std::size_t{64} << 20;

class LargeBlockResource final : public std::pmr::memory_resource {
 private:
  struct Block {
    void* start;
    std::size_t size;
  };

  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    if (bytes < kLargeBlock || alignment > kHugePage) {
      return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    const std::size_t size = Rounded(bytes);
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      for (auto block = kept_.rbegin(); block != kept_.rend(); ++block) {
        if (block->size != size) continue;
        void* start = block->start;
        keptBytes_ -= size;
        kept_.erase(std::next(block).base());
        return start;
      }
    }
    // Mapped one huge page longer, then trimmed to a boundary at both ends.
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto at = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t start = (at + kHugePage - 1) & ~(kHugePage - 1);
    if (start > at) ::munmap(mapped, start - at);
    const std::size_t after = at + size + kHugePage - (start + size);
    if (after > 0) ::munmap(reinterpret_cast<void*>(start + size), after);
    auto* block = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
    ::madvise(block, size, MADV_HUGEPAGE);  // advice only: without it the block still works
#endif
    return block;
  }

  void do_deallocate(void* start, std::size_t bytes, std::size_t alignment) override {
    if (bytes < kLargeBlock || alignment > kHugePage) {
      std::pmr::new_delete_resource()->deallocate(start, bytes, alignment);
      return;
    }
    const std::size_t size = Rounded(bytes);
    const std::lock_guard<std::mutex> lock(mutex_);
    kept_.push_back(Block{start, size});
    keptBytes_ += size;
    // The blocks let go longest ago go back to the system first.
    while (keptBytes_ > kKeptBytes) {
      ::munmap(kept_.front().start, kept_.front().size);
      keptBytes_ -= kept_.front().size;
      kept_.erase(kept_.begin());
    }
  }

  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }

  std::mutex mutex_;
  std::vector<Block> kept_;  // let go, oldest first
  std::size_t keptBytes_ = 0;
};

}  // namespace

std::pmr::memory_resource& LargeBlocks() {
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer watches the heap's blocks, not the ones mapped here.
  return *std::pmr::new_delete_resource();
#else
  // Never ended: what static objects hold may be let go after the end of this one would come.
  static auto* const resource = new LargeBlockResource;
  return *resource;
#endif
}

}  // namespace qor::platform
