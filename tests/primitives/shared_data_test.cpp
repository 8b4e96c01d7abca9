// Element and comparison primitives on data far larger than memory, built by sharing: they
// read only as far as their answer needs. And powers whose size is known to be impossible.
#include <gtest/gtest.h>

#include <string>

#include "primitives/comparison.h"
#include "primitives/conversions.h"
#include "terms/data_values.h"
#include "primitives/elements.h"
#include "primitives/integer_arithmetic.h"
#include "tests/primitives/primitive_calls.h"

namespace {

Term doubled(std::string_view text, int times) {
  Term d = make_data(text);
  for (int i = 0; i < times; ++i) d = make_pair(d, d);
  return d;
}

TEST(SharedData, ElementOperationsReadOnlyTheStart) {
  Term big = doubled("ab", 40);
  EXPECT_EQ(show(call(into, lf("0"), lf("1"), big)), "[a]");
  EXPECT_EQ(show(call(into, lf("1"), lf("1"), big)), "[b]");
  EXPECT_EQ(show(call(into, lf("2"), lf("1"), big)), "[ab]");  // the spine's lowest right child
  EXPECT_EQ(show(call(lord, big)), "Z");
  EXPECT_EQ(show(call(lord, make_pair(make_data(""), make_data("[q]")))), "91");
  EXPECT_EQ(show(call(cork, lf("1"), big, txt("xyz"))), show(txt("xaz")));
  EXPECT_EQ(show(call(less, big, doubled("ac", 40))), "K");
  EXPECT_EQ(show(call(same, big, doubled("ac", 40))), "H");
  EXPECT_EQ(show(call(same, big, big)), "K");
}

TEST(SharedData, SlicesTooLargeForMemoryAreReported) {
  Term big = doubled("ab", 44);
  EXPECT_EXIT(call(into, lf("44"), lf("1"), big), testing::ExitedWithCode(1),
              "^tarn: out of memory\n$");
}

TEST(Powers, HugeExponentsOfSmallMagnitudesStayCheap) {
  const char* huge = "3100000000000000000000000";
  EXPECT_EQ(power_numerals("1", huge), "1");
  EXPECT_EQ(power_numerals("0", huge), "0");
  EXPECT_EQ(power_numerals("01", huge), "1");
  EXPECT_EQ(power_numerals("01", "3100000000000000000000001"), "01");
  EXPECT_EQ(power_numerals("02", "10"), "1024");
  // Too large for any memory: no numeral, which `^` answers with Z, as for impossible repetitions.
  EXPECT_EQ(power_numerals("02", huge), "");
}

}  // namespace
