#include "util/Color.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(RGBColor, KeepsTheLowBytes) {
  EXPECT_EQ(RGBColor(1, 2, 3), 0x030201u);
  EXPECT_EQ(RGBColor(0x105, -1, 0x1FF), 0xFFFF05u);
}

}  // namespace
}  // namespace qor
