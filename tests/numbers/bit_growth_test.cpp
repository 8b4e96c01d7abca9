// Bit positions from a program may lie far beyond a number: only a set bit needs room.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "numbers/bits.h"

namespace {

TEST(BitGrowth, ClearingAnAbsentBitAllocatesNothing) {
  std::string bits("\x05", 1);
  set_bit(bits, INT64_MAX, false);
  EXPECT_EQ(bits, std::string("\x05", 1));
  set_bit(bits, 17, true);
  EXPECT_EQ(bits, std::string("\x05\x00\x02", 3));
  set_bit(bits, 17, false);
  EXPECT_EQ(bits, std::string("\x05\x00\x00", 3));
}

TEST(BitGrowth, SettingABitPastMemoryIsReported) {
  std::string bits("\x05", 1);
  EXPECT_EXIT(set_bit(bits, INT64_MAX, true), testing::ExitedWithCode(1),
              "^tarn: out of memory\n$");
}

}  // namespace
