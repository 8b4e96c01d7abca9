#include "numbers/digits.h"

#include <gtest/gtest.h>

#include "numbers/numerals.h"
#include "tests/numbers/wide_numbers.h"

namespace {

// Value of a digit string as an unsigned numeral, for comparing results with high zeros.
std::string value(const std::string& digits) { return digits_to_numeral(digits); }

TEST(DigitReading, PastTheEndReadsZero) {
  EXPECT_EQ(digit_at(0, "21"), '2');
  EXPECT_EQ(digit_at(2, "21"), '0');
  EXPECT_EQ(digit_value_at(1, "21"), 1);
  EXPECT_EQ(digit_value_at(7, ""), 0);
}

TEST(DigitEdges, KnownValues) {
  EXPECT_EQ(divide_digits(true, "7", "2"), "3");
  EXPECT_EQ(divide_digits(false, "7", "2"), "4");
  EXPECT_EQ(value(divide_digits(false, "8", "2")), "4");
  EXPECT_EQ(power_digits("", "0"), "1");
  EXPECT_EQ(power_digits("0", ""), "1");
  EXPECT_EQ(power_digits("7", "0"), "1");
  EXPECT_EQ(value(power_digits("2", "01")), "1024");
  EXPECT_FALSE(less_digits("5", "500"));
  EXPECT_FALSE(less_digits("500", "5"));
  EXPECT_TRUE(at_least_digits("5", "500"));
  EXPECT_TRUE(at_least_digits("500", "5"));
  EXPECT_FALSE(less_digits("", ""));
  EXPECT_TRUE(at_least_digits("", "0"));
}

TEST(DigitEdges, EmptyAndZeroOperands) {
  EXPECT_EQ(add_digits("", ""), "");
  EXPECT_EQ(add_digits("9", "1"), "01");
  EXPECT_EQ(multiply_digit("", 7), "");
  EXPECT_EQ(multiply_digit("99", 9), "198");
  EXPECT_EQ(subtract_digits("001", "1"), "990");  // 100 - 1 keeps the minuend's length
  EXPECT_EQ(value(multiply_digits("", "123")), "0");
  EXPECT_EQ(value(multiply_digits("0", "123")), "0");
  EXPECT_EQ(value(divide_digits(true, "", "3")), "0");
  EXPECT_EQ(value(divide_digits(false, "0", "3")), "0");
  EXPECT_EQ(value(remainder_digits("", "3")), "0");
  EXPECT_EQ(value(remainder_digits("21", "21")), "0");
}

TEST(DigitEdges, Shifts) {
  EXPECT_EQ(shift_digits("21", 2), "0021");
  EXPECT_EQ(shift_digits("4321", -2), "21");
  EXPECT_EQ(shift_digits("4321", -4), "0");
  EXPECT_EQ(shift_digits("4321", -9), "0");
  EXPECT_EQ(shift_digits("4321", INT64_MIN), "0");
  EXPECT_EQ(shift_digits("4321", 0), "4321");
}

TEST(DigitEdges, Predicates) {
  EXPECT_TRUE(is_zero_digits(""));
  EXPECT_TRUE(is_zero_digits("000"));
  EXPECT_FALSE(is_zero_digits("001"));
  EXPECT_TRUE(is_one_digits("1"));
  EXPECT_TRUE(is_one_digits("100"));
  EXPECT_FALSE(is_one_digits("11"));
  EXPECT_FALSE(is_one_digits(""));
  EXPECT_TRUE(is_even_digits(""));
  EXPECT_TRUE(is_even_digits("81"));
  EXPECT_FALSE(is_even_digits("18"));
  EXPECT_EQ(value(halve_digits("71")), "8");
  EXPECT_EQ(value(halve_digits("1")), "0");
}

TEST(DigitEdges, NumeralConversions) {
  EXPECT_EQ(numeral_to_digits("120"), "021");
  EXPECT_EQ(numeral_to_digits("0120"), "021");
  EXPECT_EQ(numeral_to_digits("0"), "");
  EXPECT_EQ(digits_to_numeral("02100"), "120");
  EXPECT_EQ(digits_to_numeral(""), "0");
  EXPECT_EQ(digits_to_numeral("000"), "0");
}

TEST(DigitDifferential, AgreesWithWideArithmetic) {
  std::mt19937_64 rng(11);
  for (int round = 0; round < 4000; ++round) {
    UWide a = random_magnitude(rng, 62);
    UWide b = random_magnitude(rng, 62);
    std::string da = wide_digits(a), db = wide_digits(b);
    ASSERT_EQ(digits_wide(add_digits(da, db)), a + b);
    ASSERT_EQ(digits_wide(multiply_digits(da, db)), a * b);
    ASSERT_EQ(less_digits(da, db), a < b);
    ASSERT_EQ(at_least_digits(da, db), a >= b);
    ASSERT_EQ(is_even_digits(da), a % 2 == 0);
    ASSERT_EQ(digits_wide(halve_digits(da)), a / 2);
    if (a >= b) {
      ASSERT_EQ(digits_wide(subtract_digits(da, db)), a - b);
    }
    int d = int(rng() % 10);
    ASSERT_EQ(digits_wide(multiply_digit(da, d)), a * UWide(d));
    if (b != 0) {
      ASSERT_EQ(digits_wide(divide_digits(true, da, db)), a / b);
      ASSERT_EQ(digits_wide(divide_digits(false, da, db)), a / b + (a % b != 0));
      ASSERT_EQ(digits_wide(remainder_digits(da, db)), a % b);
    }
  }
}

TEST(DigitDifferential, PowersAgreeWithWideArithmetic) {
  for (UWide base = 0; base < 12; ++base) {
    UWide expected = 1;
    for (unsigned e = 0; e < 30; ++e) {
      ASSERT_EQ(digits_wide(power_digits(wide_digits(base), wide_digits(e))), expected);
      expected *= base;
    }
  }
}

TEST(DigitIdentities, LongOperandsDivideBack) {
  std::mt19937_64 rng(12);
  const size_t lengths[][2] = {{10000, 2500}, {10000, 37}, {3, 10000}, {600, 450}};
  for (auto& l : lengths) {
    std::string a = numeral_to_digits(random_long_numeral(rng, l[0], false));
    std::string b = numeral_to_digits(random_long_numeral(rng, l[1], false));
    std::string product = multiply_digits(a, b);
    EXPECT_EQ(value(divide_digits(true, product, b)), value(a));
    EXPECT_EQ(value(divide_digits(false, product, b)), value(a));
    EXPECT_TRUE(is_zero_digits(remainder_digits(product, a)));
    // a = q*b + r with 0 <= r < b.
    std::string q = divide_digits(true, a, b);
    std::string r = remainder_digits(a, b);
    EXPECT_TRUE(less_digits(r, b));
    EXPECT_EQ(value(add_digits(multiply_digits(q, b), r)), value(a));
    EXPECT_EQ(value(subtract_digits(add_digits(a, b), b)), value(a));
  }
}

TEST(DigitIdentities, PowersOfTwoAndTen) {
  EXPECT_EQ(value(power_digits("01", "001")), "1" + std::string(100, '0'));
  // 2^100 is the value the primer quotes.
  EXPECT_EQ(value(power_digits("2", "001")), "1267650600228229401496703205376");
  // A large exponent only recurses as deep as its bit length.
  std::string big = power_digits("1", numeral_to_digits("123456789012345678901234567890"));
  EXPECT_EQ(value(big), "1");
}

TEST(DigitAssertions, Preconditions) {
  EXPECT_DEATH(subtract_digits("1", "2"), "ASSERTION FAILED:b:2505");
  EXPECT_DEATH(multiply_digit("1", -1), "ASSERTION FAILED:b:2575");
  EXPECT_DEATH(multiply_digit("1", 10), "ASSERTION FAILED:b:2576");
}

}  // namespace
