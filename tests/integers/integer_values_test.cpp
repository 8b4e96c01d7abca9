#include "eval/integer_values.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/numbers/wide_numbers.h"
#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "numbers/numerals.h"

namespace {

Term leaf(const char* text) { return make_leaf(text); }
Term list_of(const std::string& numeral) { return bits_to_bit_list(numeral_to_bits(numeral)); }
Term cell(const char* bit, Term rest) { return make_pair(make_pair(leaf("J"), leaf(bit)), rest); }

TEST(IntegerTest, LeavesByTheirText) {
  for (const char* yes : {"0", "7", "05", "K"}) EXPECT_TRUE(is_integer_value(leaf(yes))) << yes;
  for (const char* no : {"00", "001", "[]", "H", "Z"}) EXPECT_FALSE(is_integer_value(leaf(no))) << no;
  EXPECT_FALSE(is_integer_value(make_pair(leaf("K"), leaf("x"))));
}

TEST(IntegerTest, BitListsByTheirFirstElement) {
  EXPECT_TRUE(is_integer_value(list_of("5")));
  EXPECT_TRUE(is_integer_value(list_of("05")));
  EXPECT_TRUE(is_integer_value(list_of("0")));
  EXPECT_FALSE(is_integer_value(list_of("004")));  // first element H: a binary fraction
  EXPECT_TRUE(is_integer_value(cell("K", leaf("7"))));
  EXPECT_FALSE(is_integer_value(cell("K", leaf("x"))));
  EXPECT_FALSE(is_integer_value(cell("Z", leaf("K"))));
  EXPECT_FALSE(is_integer_value(make_pair(make_pair(leaf("V"), leaf("K")), leaf("K"))));
}

TEST(IntegerReadings, KnownValues) {
  EXPECT_FALSE(integer_sign(leaf("05")));
  EXPECT_TRUE(integer_sign(leaf("5")));
  EXPECT_TRUE(integer_sign(leaf("0")));
  EXPECT_TRUE(integer_sign(leaf("K")));
  EXPECT_EQ(leaf_text(integer_magnitude(leaf("05"))), "5");
  EXPECT_EQ(leaf_text(integer_magnitude(leaf("0"))), "0");
  EXPECT_TRUE(leaf_is(integer_magnitude(leaf("K")), "K"));
  EXPECT_EQ(to_int64(leaf("05")), -5);
  EXPECT_EQ(to_int64(leaf("18446744073709551619")), 3);  // 2^64 + 3
  EXPECT_EQ(to_int64(leaf("K")), 0);
  EXPECT_EQ(to_int64(leaf("09223372036854775808")), INT64_MIN);
  EXPECT_EQ(read_bits(leaf("0120")), numeral_to_bits("0120"));
  EXPECT_EQ(read_bits(leaf("K")), std::string(1, '\x01'));
}

TEST(IntegerReadings, FractionLeavesKeepTheirOwnSign) {
  EXPECT_FALSE(integer_sign(leaf("000")));  // minus one
  EXPECT_TRUE(integer_sign(leaf("004")));
  EXPECT_TRUE(integer_sign(leaf("00")));
  EXPECT_EQ(leaf_text(integer_magnitude(leaf("000"))), "001");  // one, not zero
  EXPECT_EQ(leaf_text(integer_magnitude(list_of("000"))), "001");
  EXPECT_EQ(read_bits(list_of("00017")), numeral_to_bits("00017"));
}

TEST(IntegerReadings, BitListsGiveTheSameAsTheirNumerals) {
  std::mt19937_64 rng(61);
  for (int i = 0; i < 2000; ++i) {
    Wide n = random_signed(rng, i % 3 ? 62 : 120);
    std::string numeral = wide_numeral(n);
    Term number = make_leaf(numeral);
    Term list = list_of(numeral);
    ASSERT_TRUE(is_integer_value(list));
    ASSERT_EQ(integer_sign(list), n >= 0);
    ASSERT_EQ(integer_sign(number), n >= 0);
    ASSERT_EQ(leaf_text(integer_magnitude(list)), leaf_text(integer_magnitude(number)));
    ASSERT_EQ(to_int64(list), int64_t(n)) << numeral;  // the low 64 bits, sign applied
    ASSERT_EQ(to_int64(number), int64_t(n));
    ASSERT_EQ(read_bits(list), read_bits(number));
    ASSERT_EQ(integer_numeral(list), numeral);
    ASSERT_EQ(integer_numeral(number), numeral);
    ASSERT_EQ(is_non_negative_integer(list), n >= 0);
    ASSERT_EQ(is_non_negative_integer(number), n >= 0);
    ASSERT_EQ(is_zero_integer(list), n == 0);
    ASSERT_EQ(is_zero_integer(number), n == 0);
    UWide magnitude = n < 0 ? UWide(0) - UWide(n) : UWide(n);
    ASSERT_EQ(magnitude_low64(list), uint64_t(magnitude));
    ASSERT_EQ(magnitude_low64(number), uint64_t(magnitude));
  }
}

TEST(IntegerReadings, ListsEndingInANumeral) {
  // (J K) then the numeral 1 (bits 111): 1, then 1, 1 below its top, then the top: 0b1111,
  // the integer three.
  Term t = cell("K", leaf("1"));
  EXPECT_EQ(read_bits(t), std::string(1, '\x0F'));
  EXPECT_EQ(to_int64(t), 3);
  EXPECT_EQ(integer_numeral(t), "3");
  // (J K) then K alone is 0b11: zero.
  Term zero = cell("K", leaf("K"));
  EXPECT_TRUE(is_zero_integer(zero));
  EXPECT_EQ(integer_numeral(zero), "0");
  EXPECT_TRUE(leaf_is(integer_magnitude(leaf("K")), "K"));
  EXPECT_EQ(leaf_text(integer_magnitude(zero)), "0");
}

TEST(IntegerReadings, OtherLeavesAndNonNegativeTest) {
  EXPECT_TRUE(is_non_negative_integer(leaf("K")));
  EXPECT_TRUE(is_non_negative_integer(leaf("0")));
  EXPECT_TRUE(is_non_negative_integer(leaf("12")));
  EXPECT_FALSE(is_non_negative_integer(leaf("012")));
  EXPECT_FALSE(is_non_negative_integer(leaf("004")));
  EXPECT_FALSE(is_non_negative_integer(list_of("004")));
  EXPECT_FALSE(is_non_negative_integer(leaf("x")));
  EXPECT_EQ(integer_numeral(leaf("K")), "0");
  EXPECT_EQ(magnitude_low64(leaf("K")), 0u);
}

TEST(IntegerReadings, LongListsWithoutDeepRecursion) {
  std::string numeral = "1" + std::string(60000, '0');  // about 200,000 list elements
  Term list = list_of(numeral);
  EXPECT_TRUE(is_integer_value(list));
  EXPECT_EQ(integer_numeral(list), numeral);
  EXPECT_EQ(to_int64(list), to_int64(make_leaf(numeral)));
}

TEST(IntegerAssertions, ShapesThatAreNotNumbers) {
  EXPECT_DEATH(read_bits(leaf("x")), "ASSERTION FAILED:b:5025");
  EXPECT_DEATH(read_bits(make_pair(leaf("K"), leaf("K"))), "ASSERTION FAILED:b:5025");
  EXPECT_DEATH(read_bits(cell("Z", leaf("K"))), "ASSERTION FAILED:b:5025");
  EXPECT_DEATH(integer_magnitude(make_pair(leaf("K"), leaf("K"))), "ASSERTION FAILED:b:4734");
  EXPECT_DEATH(integer_magnitude(make_pair(make_pair(leaf("V"), leaf("K")), leaf("K"))),
               "ASSERTION FAILED:b:4735");
  EXPECT_DEATH(integer_magnitude(cell("Z", leaf("K"))), "ASSERTION FAILED:b:4738");
}

}  // namespace
