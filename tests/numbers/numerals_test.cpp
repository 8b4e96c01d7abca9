#include "numbers/numerals.h"

#include <gtest/gtest.h>

#include "tests/numbers/wide_numbers.h"

namespace {

TEST(NumeralFormat, IntegerTest) {
  for (const char* yes : {"0", "7", "05", "0120", "120", "0999"}) EXPECT_TRUE(is_integer_numeral(yes)) << yes;
  for (const char* no : {"00", "007", "", "K", "x1", "-5"}) EXPECT_FALSE(is_integer_numeral(no)) << no;
}

TEST(NumeralFormat, Signs) {
  EXPECT_TRUE(is_non_negative("0"));
  EXPECT_TRUE(is_non_negative("12"));
  EXPECT_FALSE(is_non_negative("012"));
  EXPECT_TRUE(is_negative_numeral("05"));
  EXPECT_FALSE(is_negative_numeral("5"));
  EXPECT_EQ(with_sign(false, "0"), "0");
  EXPECT_EQ(with_sign(false, "12"), "012");
  EXPECT_EQ(with_sign(true, "12"), "12");
}

TEST(NumeralEdges, KnownValues) {
  EXPECT_EQ(add_numerals("05", "5"), "0");
  EXPECT_EQ(add_numerals("03", "010"), "013");
  EXPECT_EQ(add_numerals("999", "1"), "1000");
  EXPECT_EQ(negate_numeral("0"), "0");
  EXPECT_EQ(negate_numeral("12"), "012");
  EXPECT_EQ(negate_numeral("012"), "12");
  EXPECT_EQ(halve_numeral("07"), "03");
  EXPECT_EQ(halve_numeral("01"), "0");
  EXPECT_EQ(halve_numeral("0"), "0");
  EXPECT_EQ(subtract_numerals("3", "010"), "13");
}

TEST(NumeralEdges, MachineIntegers) {
  EXPECT_EQ(int64_to_numeral_text(INT64_MIN), "09223372036854775808");
  EXPECT_EQ(int64_to_numeral_text(INT64_MAX), "9223372036854775807");
  EXPECT_EQ(int64_to_numeral_text(0), "0");
  EXPECT_EQ(int64_to_numeral_text(-1), "01");
  Term leaf = int64_to_numeral(INT64_MIN);
  EXPECT_EQ(leaf_text(leaf), "09223372036854775808");
  EXPECT_EQ(node_extent(leaf.get()), 20u);
  EXPECT_EQ(leaf_text(numeral_leaf("042")), "042");
}

TEST(NumeralDifferential, SumsDifferencesAndHalves) {
  std::mt19937_64 rng(21);
  for (int round = 0; round < 5000; ++round) {
    Wide x = random_signed(rng, 120);
    Wide y = random_signed(rng, 120);
    if (round % 7 == 0) y = -x;  // exact cancellation
    std::string nx = wide_numeral(x), ny = wide_numeral(y);
    ASSERT_TRUE(is_integer_numeral(nx));
    ASSERT_EQ(add_numerals(nx, ny), wide_numeral(x + y)) << nx << " + " << ny;
    ASSERT_EQ(subtract_numerals(nx, ny), wide_numeral(x - y));
    ASSERT_EQ(negate_numeral(nx), wide_numeral(-x));
    ASSERT_EQ(halve_numeral(nx), wide_numeral(x / 2));  // C++ division truncates toward zero
    ASSERT_EQ(is_non_negative(nx), x >= 0);
  }
  for (int round = 0; round < 2000; ++round) {
    int64_t v = int64_t(rng());
    ASSERT_EQ(int64_to_numeral_text(v), wide_numeral(v));
  }
}

TEST(NumeralIdentities, LongNumeralsCancel) {
  std::mt19937_64 rng(22);
  std::string a = random_long_numeral(rng, 10000, false);
  std::string b = random_long_numeral(rng, 9000, true);
  std::string sum = add_numerals(a, b);
  EXPECT_EQ(add_numerals(sum, negate_numeral(b)), a);
  EXPECT_EQ(add_numerals(a, negate_numeral(a)), "0");
  EXPECT_EQ(halve_numeral(add_numerals(a, a)), a);
}

TEST(NumeralAssertions, Preconditions) {
  EXPECT_DEATH(with_sign(true, ""), "ASSERTION FAILED:b:2785");
  EXPECT_DEATH(with_sign(true, "05"), "ASSERTION FAILED:b:2787");
  EXPECT_DEATH(is_negative_numeral(""), "ASSERTION FAILED:b:2808");
  EXPECT_DEATH(is_negative_numeral("0"), "ASSERTION FAILED:b:2809");
  EXPECT_DEATH(is_non_negative("007"), "ASSERTION FAILED:b:2847");
  EXPECT_DEATH(negate_numeral(""), "ASSERTION FAILED:b:2847");
  EXPECT_DEATH(numeral_leaf("00"), "ASSERTION FAILED:b:2847");
}

}  // namespace
