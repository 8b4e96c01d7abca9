#include "numbers/fractions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "numbers/reals.h"
#include "tests/numbers/wide_numbers.h"

namespace {

std::string value_of(double d) { return double_to_fraction_value(d); }
double double_of_value(const std::string& u) { return fraction_value_to_double(u); }
std::string text_of(const Term& t) { return std::string(leaf_text(t)); }

// A double with a short mantissa and a small exponent, so sums and products stay exact.
double short_double(std::mt19937_64& rng) {
  double m = double(int64_t(rng() % (1 << 20)) - (1 << 19));
  return std::ldexp(m, int(rng() % 21) - 10);  // sums and products need at most 41 bits
}

TEST(FractionLayout, DigitsSignAndExponent) {
  std::string two = numeral_fraction_bits("004");
  EXPECT_EQ(two, std::string(1, '\x09'));
  EXPECT_TRUE(fraction_sign(two));
  EXPECT_TRUE(fraction_digit(1, two));
  EXPECT_FALSE(fraction_digit(0, two));
  EXPECT_EQ(fraction_exponent(two), 1);
  std::string minus_one = numeral_fraction_bits("000");
  EXPECT_FALSE(fraction_sign(minus_one));
  EXPECT_EQ(fraction_exponent(minus_one), 0);
  EXPECT_EQ(fraction_exponent(value_of(0.25)), -2);
  EXPECT_EQ(fraction_exponent(value_of(-0.75)), -1);
  EXPECT_TRUE(fraction_digit(-2, value_of(0.75)));
  EXPECT_FALSE(fraction_digit(-3, value_of(0.75)));
  EXPECT_TRUE(is_zero_fraction_value(numeral_fraction_bits("00")));
  EXPECT_EQ(text_of(value_to_fraction(std::string(1, '\x0B'))), "005");  // three
}

TEST(FractionLayout, TermsOfEitherForm) {
  Term leaf = make_leaf("00017");
  Term list = bits_to_bit_list(numeral_to_bits("00017"));
  EXPECT_EQ(fraction_bits(leaf), fraction_bits(list));
  EXPECT_TRUE(fraction_equal(leaf, list));
  EXPECT_FALSE(fraction_equal(leaf, make_leaf("004")));
  EXPECT_TRUE(fraction_is_non_negative(make_leaf("00")));
  EXPECT_FALSE(fraction_is_non_negative(make_leaf("000")));
  EXPECT_EQ(real_value(fraction_to_real(list)), real_value(fraction_to_real(leaf)));
}

TEST(FractionOrder, AgreesWithDoubles) {
  std::mt19937_64 rng(51);
  for (int i = 0; i < 3000; ++i) {
    double a = short_double(rng), b = short_double(rng);
    if (i % 5 == 0) b = a;
    if (i % 7 == 0) a = 0;
    ASSERT_EQ(fraction_value_less(value_of(a), value_of(b)), a < b) << a << " " << b;
  }
  EXPECT_TRUE(fraction_less(make_leaf("000"), make_leaf("00")));
  EXPECT_FALSE(fraction_less(make_leaf("00"), make_leaf("00")));
}

TEST(FractionOrder, HighDigitsOfLongerValuesCount) {
  // The values differ only in a digit far above the shorter string's end.
  double big = std::ldexp(1.0, 300) + 0.5;
  EXPECT_TRUE(fraction_value_less(value_of(0.5), value_of(big)));
  EXPECT_FALSE(fraction_value_less(value_of(big), value_of(0.5)));
  EXPECT_TRUE(fraction_value_less(value_of(-big), value_of(-0.5)));
  // And a digit far below.
  std::string low = add_fraction_values(value_of(0.5), power_of_two_value(-300));
  EXPECT_TRUE(fraction_value_less(value_of(0.5), low));
  EXPECT_FALSE(fraction_value_less(low, value_of(0.5)));
}

TEST(FractionArithmetic, ExactWhereDoublesAreExact) {
  std::mt19937_64 rng(52);
  for (int i = 0; i < 3000; ++i) {
    double a = short_double(rng), b = short_double(rng);
    if (i % 9 == 0) b = -a;
    std::string u = value_of(a), v = value_of(b);
    ASSERT_EQ(add_fraction_values(u, v), value_of(a + b)) << a << " + " << b;
    ASSERT_EQ(subtract_fraction_values(u, v), value_of(a - b));
    ASSERT_EQ(multiply_fraction_values(u, v), value_of(a * b));
    ASSERT_EQ(negate_fraction_value(u), value_of(-a));
    if (b != 0) {
      double r = std::fmod(std::fabs(a), std::fabs(b));  // exact
      bool same = a == 0 || (a < 0) == (b < 0);
      double expected = (same || r == 0) ? r : std::fabs(b) - r;
      ASSERT_EQ(remainder_fraction_values(u, v), value_of(expected)) << a << " % " << b;
    }
  }
}

TEST(FractionArithmetic, IntegerRemaindersMatchTheIntegerRule) {
  // 7 % 2, -7 % 2, 7 % -2, -7 % -2 are all 1; 5 % -4 is 3.
  EXPECT_EQ(double_of_value(remainder_fraction_values(value_of(7), value_of(2))), 1.0);
  EXPECT_EQ(double_of_value(remainder_fraction_values(value_of(-7), value_of(2))), 1.0);
  EXPECT_EQ(double_of_value(remainder_fraction_values(value_of(7), value_of(-2))), 1.0);
  EXPECT_EQ(double_of_value(remainder_fraction_values(value_of(-7), value_of(-2))), 1.0);
  EXPECT_EQ(double_of_value(remainder_fraction_values(value_of(5), value_of(-4))), 3.0);
  EXPECT_EQ(double_of_value(remainder_fraction_values(value_of(-4.5), value_of(2))), 1.5);
}

TEST(FractionArithmetic, ZeroAndNormalisation) {
  std::string zero(1, '\x01');
  std::string x = value_of(-13.375);
  EXPECT_EQ(add_fraction_values(x, negate_fraction_value(x)), zero);
  EXPECT_EQ(multiply_fraction_values(x, zero), zero);
  EXPECT_EQ(multiply_fraction_values(zero, x), zero);
  EXPECT_EQ(negate_fraction_value(zero), zero);
  EXPECT_EQ(remainder_fraction_values(value_of(6), value_of(-3)), zero);
  EXPECT_EQ(value_to_fraction_numeral(subtract_fraction_values(x, x)), "00");
  // Far-apart weights: (a + b) - b is a again, byte for byte.
  std::string a = power_of_two_value(-900), b = value_of(std::ldexp(3.0, 900));
  EXPECT_EQ(subtract_fraction_values(add_fraction_values(a, b), b), a);
  EXPECT_EQ(value_to_fraction_numeral(a),
            value_to_fraction_numeral(multiply_fraction_values(a, value_of(1.0))));
}

TEST(FractionArithmetic, PowersOfTwoAndOtherPowers) {
  EXPECT_EQ(text_of(power_of_two(1)), "004");
  EXPECT_EQ(text_of(power_of_two(0)), "001");
  EXPECT_EQ(real_value(fraction_to_real(power_of_two(-3))), 0.125);
  for (int m = -1074; m <= 1023; m += 7)
    ASSERT_EQ(double_of_value(power_of_two_value(m)), std::ldexp(1.0, m)) << m;
  EXPECT_FALSE(bool(power_of_two(kMaxPowerOfTwo + 1)));
  EXPECT_FALSE(bool(power_of_two(-kMaxPowerOfTwo - 1)));
  EXPECT_EQ(power_of_two_value(40), multiply_fraction_values(power_of_two_value(20), power_of_two_value(20)));
  EXPECT_EQ(double_of_value(power_fraction_value(value_of(1.5), 10)), std::pow(1.5, 10));
  EXPECT_EQ(double_of_value(power_fraction_value(value_of(-0.5), 3)), -0.125);
  EXPECT_EQ(double_of_value(power_fraction_value(value_of(-0.5), 0)), 1.0);
  EXPECT_EQ(power_fraction_value(std::string(1, '\x01'), 5), std::string(1, '\x01'));
}

TEST(FractionArithmetic, IntegersConvertToEqualValues) {
  std::mt19937_64 rng(53);
  for (int i = 0; i < 1000; ++i) {
    int64_t n = int64_t(rng() % (uint64_t(1) << 52)) - (int64_t(1) << 51);
    std::string numeral = wide_numeral(n);
    ASSERT_EQ(integer_numeral_to_fraction_value(numeral), value_of(double(n)));
    ASSERT_EQ(real_value(fraction_to_real(integer_to_fraction(make_leaf(numeral)))), double(n));
  }
  EXPECT_EQ(text_of(integer_to_fraction(make_leaf("0"))), "00");
  EXPECT_EQ(text_of(integer_to_fraction(make_leaf("K"))), "00");
  EXPECT_EQ(text_of(integer_to_fraction(make_leaf("2"))), "004");
  EXPECT_EQ(text_of(integer_to_fraction(bits_to_bit_list(numeral_to_bits("01")))), "000");
}

TEST(FractionTerms, SumsDifferencesProductsRemainders) {
  Term two = make_leaf("004"), minus_one = make_leaf("000"), three = make_leaf("005");
  EXPECT_EQ(text_of(fraction_sum(two, make_leaf("001"))), "005");
  EXPECT_EQ(text_of(fraction_sum(two, minus_one)), "001");
  EXPECT_EQ(text_of(fraction_difference(minus_one, minus_one)), "00");
  EXPECT_EQ(real_value(fraction_to_real(fraction_product(three, minus_one))), -3.0);
  EXPECT_EQ(real_value(fraction_to_real(fraction_remainder(three, two))), 1.0);
  EXPECT_EQ(text_of(fraction_negation(two)), text_of(integer_to_fraction(make_leaf("02"))));
  EXPECT_EQ(text_of(fraction_negation(make_leaf("00"))), "00");
}

std::string trace_tail(size_t from) {
  std::ifstream in("/tmp/both.bug", std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str().substr(std::min(from, all.str().size()));
}

TEST(FractionTrace, EverySumAppendsOneLine) {
  struct stat st;
  if (lstat("/tmp/both.bug", &st) == 0 && !S_ISREG(st.st_mode)) GTEST_SKIP() << "not a file";
  size_t before = lstat("/tmp/both.bug", &st) == 0 ? size_t(st.st_size) : 0;
  Term plus_two = make_leaf("004"), minus_one = make_leaf("000");
  fraction_sum(plus_two, minus_one);
  fraction_sum(minus_one, plus_two);
  fraction_difference(plus_two, minus_one);  // adds plus one
  fraction_difference(minus_one, plus_two);  // adds minus two
  fraction_product(plus_two, minus_one);     // no line
  if (lstat("/tmp/both.bug", &st) != 0) GTEST_SKIP() << "trace file cannot be written";
  EXPECT_EQ(trace_tail(before), "jjaa10\njjaa01\njjaa11\njjaa00\n");
}

TEST(FractionAssertions, ZeroStringsAndMissingDigits) {
  EXPECT_DEATH(value_to_fraction(std::string(1, '\0')), "ASSERTION FAILED:b:5975");
  EXPECT_DEATH(value_to_fraction(""), "ASSERTION FAILED:b:5975");
  EXPECT_DEATH(fraction_exponent(std::string(1, '\x01')), "ASSERTION FAILED:b:5844");
}

}  // namespace
