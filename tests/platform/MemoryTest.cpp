#include "platform/Memory.h"

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace qor::platform {
namespace {

struct Piece {
  std::size_t bytes;
  std::size_t alignment;
};

// Pieces small and large, on and off the large pages' boundaries, taken side by side: each
// holds all of its bytes, aligned as asked, overlapping no other; and again after being let go.
TEST(LargeBlocks, PiecesHoldTheirBytesApartAndAgainAfterBeingLetGo) {
  const std::vector<Piece> pieces = {{100, 8},           {64 * 1024, 16},       {1 << 20, 64},
                                     {(1 << 20) + 1, 8}, {(2 << 20) - 8, 4096}, {(3 << 20) + 5, 8},
                                     {5 << 20, 4096}};
  std::pmr::memory_resource& blocks = LargeBlocks();
  for (int round = 0; round < 2; ++round) {
    std::vector<unsigned char*> taken;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      auto* bytes =
          static_cast<unsigned char*>(blocks.allocate(pieces[i].bytes, pieces[i].alignment));
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % pieces[i].alignment, 0u) << i;
      std::memset(bytes, static_cast<int>(i + 1), pieces[i].bytes);
      taken.push_back(bytes);
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const unsigned char* bytes = taken[i];
      const std::size_t last = pieces[i].bytes - 1;
      EXPECT_EQ(bytes[0], i + 1);
      EXPECT_EQ(bytes[last / 2], i + 1);
      EXPECT_EQ(bytes[last], i + 1) << i;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      blocks.deallocate(taken[i], pieces[i].bytes, pieces[i].alignment);
    }
  }
}

// Workers building their tables at once each keep what they wrote.
TEST(LargeBlocks, ThreadsTakeAndLetGoAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int round = 0; round < 20; ++round) {
        const std::size_t bytes = (std::size_t{1} + round % 3) << 20;
        auto* block = static_cast<unsigned char*>(LargeBlocks().allocate(bytes, 8));
        std::memset(block, t, bytes);
        std::this_thread::yield();
        if (block[0] != t || block[bytes - 1] != t) ++wrong[t];
        LargeBlocks().deallocate(block, bytes, 8);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace qor::platform
