// The signed numeral operations of `*`, `/`, `%` and `^` on limbs against the digit-string
// algorithms with the sign rules written out, for every sign combination and for lengths
// around the method thresholds.
#include "primitives/integer_arithmetic.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "primitives/arithmetic.h"
#include "numbers/digits.h"
#include "numbers/limbs.h"
#include "numbers/numerals.h"
#include "tests/primitives/primitive_calls.h"

namespace {

std::string random_magnitude(std::mt19937_64& rng, size_t digits) {
  std::string s(1, char('1' + rng() % 9));
  while (s.size() < digits) s += char('0' + rng() % 10);
  if (rng() % 6 == 0) s.assign(digits, '9');
  if (rng() % 6 == 0) s = "1" + std::string(digits - 1, '0');
  return s;
}

std::string signed_numeral(bool negative, const std::string& magnitude) {
  return with_sign(!negative, magnitude);
}

// The reference: digit strings and the sign rules of the operators.
std::string reference_product(const std::string& x, const std::string& y) {
  std::string m = digits_to_numeral(multiply_digits(numeral_to_digits(x), numeral_to_digits(y)));
  return with_sign(is_non_negative(x) == is_non_negative(y), m);
}

std::string reference_quotient(const std::string& x, const std::string& y) {
  bool same = is_non_negative(x) == is_non_negative(y);
  std::string q =
      digits_to_numeral(divide_digits(same, numeral_to_digits(x), numeral_to_digits(y)));
  return same ? q : negate_numeral(q);
}

std::string reference_remainder(const std::string& x, const std::string& y) {
  std::string b = numeral_to_digits(y);
  std::string r = remainder_digits(numeral_to_digits(x), b);
  if (is_non_negative(x) == is_non_negative(y) || is_zero_digits(r)) return digits_to_numeral(r);
  return digits_to_numeral(subtract_digits(b, r));
}

TEST(LongIntegerArithmetic, EverySignAroundTheThresholds) {
  std::mt19937_64 rng(21);
  const size_t karatsuba = kKaratsubaLimbs * kLimbDigits;
  const size_t newton = kNewtonLimbs * kLimbDigits;
  for (size_t la : {size_t(1), size_t(18), size_t(19), karatsuba + 1, newton + 40, 2 * newton + 3}) {
    for (size_t lb : {size_t(1), size_t(19), karatsuba - 1, newton, newton + 1}) {
      std::string a = random_magnitude(rng, la), b = random_magnitude(rng, lb);
      for (int signs = 0; signs < 4; ++signs) {
        std::string x = signed_numeral(signs & 1, a), y = signed_numeral(signs & 2, b);
        ASSERT_EQ(multiply_numerals(x, y), reference_product(x, y)) << la << " " << lb;
        ASSERT_EQ(floor_divide_numerals(x, y), reference_quotient(x, y)) << la << " " << lb;
        ASSERT_EQ(remainder_numerals(x, y), reference_remainder(x, y)) << la << " " << lb;
      }
    }
  }
}

TEST(LongIntegerArithmetic, ZeroOperandsAndNormalForm) {
  std::mt19937_64 rng(22);
  std::string big = random_magnitude(rng, 3000);
  EXPECT_EQ(multiply_numerals("0", "0" + big), "0");
  EXPECT_EQ(multiply_numerals("0" + big, "0"), "0");
  EXPECT_EQ(floor_divide_numerals("0", "0" + big), "0");
  EXPECT_EQ(remainder_numerals("0", "0" + big), "0");
  EXPECT_EQ(floor_divide_numerals(big, big), "1");
  EXPECT_EQ(floor_divide_numerals("0" + big, big), "01");
  EXPECT_EQ(remainder_numerals("0" + big, big), "0");
  EXPECT_EQ(floor_divide_numerals("1", "0" + big), "01");
  EXPECT_EQ(remainder_numerals("1", "0" + big), digits_to_numeral(subtract_digits(
                                                     numeral_to_digits(big), "1")));
}

TEST(LongIntegerArithmetic, RememberedDivisionNeverAnswersForOtherOperands) {
  // The quotient and the remainder of one pair share a division; a different dividend with the
  // same divisor, or the same dividend with the other sign, must be divided anew.
  std::mt19937_64 rng(23);
  std::string b = random_magnitude(rng, kNewtonLimbs * kLimbDigits + 5);
  std::string a1 = random_magnitude(rng, 5000), a2 = a1;
  a2.back() = a2.back() == '9' ? '8' : char(a2.back() + 1);
  for (const std::string& x : {a1, a1, a2, "0" + a1, a1}) {
    EXPECT_EQ(floor_divide_numerals(x, b), reference_quotient(x, b));
    EXPECT_EQ(remainder_numerals(x, b), reference_remainder(x, b));
    EXPECT_EQ(remainder_numerals(x, "0" + b), reference_remainder(x, "0" + b));
  }
}

TEST(LongIntegerArithmetic, PowersAgainstRepeatedProducts) {
  for (const char* base : {"2", "07", "123456789012345678901", "0999999999999999999"}) {
    std::string expected = "1";
    for (int e = 0; e <= 40; ++e) {
      ASSERT_EQ(power_numerals(base, std::to_string(e)), expected) << base << "^" << e;
      expected = reference_product(expected, base);
    }
  }
  EXPECT_EQ(power_numerals("01", "123456789012345678901234567890"), "1");
  EXPECT_EQ(power_numerals("01", "123456789012345678901234567891"), "01");
  EXPECT_EQ(power_numerals("0", "123456789012345678901234567891"), "0");
  EXPECT_EQ(power_numerals("5", "0123456789012345678901234567891"), "0");
}

// The operators build their results in the leaf; those leaves must read exactly as the
// numerals, and the operator's answer must be the same leaf text whichever path (limbs, or a
// long numeral times a short factor on its text) it took.
TEST(LongIntegerArithmetic, LeavesWrittenInPlaceReadAsTheNumerals) {
  std::mt19937_64 rng(24);
  for (size_t la : {size_t(1), size_t(18), size_t(19), size_t(37), size_t(400), size_t(5000)}) {
    for (size_t lb : {size_t(1), size_t(8), size_t(16), size_t(17), size_t(19), size_t(300)}) {
      std::string a = random_magnitude(rng, la), b = random_magnitude(rng, lb);
      for (int signs = 0; signs < 4; ++signs) {
        std::string x = signed_numeral(signs & 1, a), y = signed_numeral(signs & 2, b);
        std::string product = reference_product(x, y);
        ASSERT_EQ(leaf_text(product_leaf(x, y)), product) << x << " * " << y;
        ASSERT_EQ(show(call(mult, lf(x), lf(y))), product) << x << " * " << y;
        ASSERT_EQ(show(call(mult, lf(y), lf(x))), product) << y << " * " << x;
        ASSERT_EQ(leaf_text(floor_quotient_leaf(x, y)), reference_quotient(x, y));
        ASSERT_EQ(leaf_text(remainder_leaf(x, y)), reference_remainder(x, y));
      }
    }
  }
  EXPECT_EQ(show(call(mult, lf("0"), lf(std::string(40, '9')))), "0");
  EXPECT_EQ(show(call(mult, lf(std::string(40, '9')), lf("0"))), "0");
  EXPECT_EQ(leaf_text(power_leaf("07", "41")), power_numerals("07", "41"));
  EXPECT_EQ(leaf_text(power_leaf("01", "3")), "01");
  EXPECT_EQ(leaf_text(power_leaf("5", "03")), "0");
  EXPECT_FALSE(power_leaf("2", "123456789012345678901234567890"));
}

TEST(LongIntegerArithmetic, PowersLargerThanMemoryAreRefused) {
  EXPECT_EQ(power_numerals("2", "123456789012345678901234567890"), "");
  EXPECT_EQ(power_numerals("10", "99999999999999999"), "");
  EXPECT_EQ(show(call(powa, lf("3"), lf("1000000000000000000000"))), "Z");
  EXPECT_EQ(show(call(powa, lf("02"), lf("100"))), "1267650600228229401496703205376");
}

}  // namespace
