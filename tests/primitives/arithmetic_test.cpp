#include "primitives/arithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <random>
#include <string>

#include "primitives/comparison.h"
#include "numbers/digits.h"
#include "numbers/fractions.h"
#include "primitives/integer_arithmetic.h"
#include "tests/primitives/primitive_calls.h"
#include "primitives/primitive_arguments.h"

namespace {

std::string arith(BuiltinFunction f, const char* x, const char* y) {
  return show(call(f, lf(x), lf(y)));
}

TEST(IntegerArithmetic, SignZeroNumerals) {
  EXPECT_EQ(arith(plus, "05", "5"), "0");
  EXPECT_EQ(arith(plus, "03", "010"), "013");
  EXPECT_EQ(arith(plus, "999", "1"), "1000");
  EXPECT_EQ(arith(dash, "3", "010"), "13");
  EXPECT_EQ(arith(dash, "3", "3"), "0");
  EXPECT_EQ(arith(mult, "02", "3"), "06");
  EXPECT_EQ(arith(mult, "0", "012"), "0");
  EXPECT_EQ(arith(mult, "02", "03"), "6");
  EXPECT_EQ(arith(mult, "1000000000", "1000000000"), "1000000000000000000");
}

TEST(IntegerArithmetic, FloorDivisionAndNeverNegativeRemainder) {
  EXPECT_EQ(arith(over, "7", "2"), "3");
  EXPECT_EQ(arith(over, "07", "2"), "04");
  EXPECT_EQ(arith(over, "7", "02"), "04");
  EXPECT_EQ(arith(over, "07", "02"), "3");
  EXPECT_EQ(arith(over, "6", "03"), "02");
  EXPECT_EQ(arith(over, "0", "05"), "0");
  EXPECT_EQ(arith(over, "7", "0"), "Z");
  EXPECT_EQ(arith(cent, "7", "0"), "Z");
  for (const char* x : {"7", "07"})
    for (const char* y : {"2", "02"}) EXPECT_EQ(arith(cent, x, y), "1") << x << " % " << y;
  EXPECT_EQ(arith(cent, "5", "04"), "3");
  EXPECT_EQ(arith(cent, "06", "3"), "0");
  EXPECT_EQ(arith(cent, "012", "5"), "3");
}

TEST(IntegerArithmetic, Powers) {
  EXPECT_EQ(arith(powa, "2", "10"), "1024");
  EXPECT_EQ(arith(powa, "02", "3"), "08");
  EXPECT_EQ(arith(powa, "02", "2"), "4");
  EXPECT_EQ(arith(powa, "2", "01"), "0");
  EXPECT_EQ(arith(powa, "0", "0"), "1");
  EXPECT_EQ(arith(powa, "0", "5"), "0");
  EXPECT_EQ(arith(powa, "2", "100"), "1267650600228229401496703205376");
}

TEST(IntegerArithmetic, BitListsGiveTheResultsOfTheEqualNumerals) {
  const char* numbers[] = {"0", "1", "5", "05", "12", "0123", "1000"};
  for (BuiltinFunction f : {plus, dash, mult, over, cent, powa}) {
    for (const char* a : numbers) {
      for (const char* b : {"3", "02", "0"}) {
        EXPECT_EQ(show(call(f, bit_list(a), lf(b))), arith(f, a, b)) << a << " " << b;
        EXPECT_EQ(show(call(f, lf(a), bit_list(b))), arith(f, a, b)) << a << " " << b;
      }
    }
  }
}

// The limb product agrees with digit-by-digit schoolbook multiplication.
TEST(IntegerArithmetic, LongProductsAgreeWithDigitProduct) {
  std::mt19937 rng(7);
  auto random_numeral = [&](size_t digits) {
    std::string s(1, char('1' + rng() % 9));
    while (s.size() < digits) s += char('0' + rng() % 10);
    return s;
  };
  for (int round = 0; round < 40; ++round) {
    std::string a = random_numeral(1 + rng() % 400);
    std::string b = random_numeral(1 + rng() % 400);
    std::string expected = digits_to_numeral(multiply_digits(numeral_to_digits(a),
                                                             numeral_to_digits(b)));
    EXPECT_EQ(multiply_numerals(a, b), expected);
    EXPECT_EQ(multiply_numerals("0" + a, b), "0" + expected);
    EXPECT_EQ(floor_divide_numerals(expected, b), a);
    EXPECT_EQ(remainder_numerals(expected, a), "0");
  }
}

TEST(MixedArithmetic, RealsAbsorbOtherNumbers) {
  EXPECT_EQ(real_value(call(plus, lf("1"), dbl(0.5))), 1.5);
  EXPECT_EQ(real_value(call(mult, dbl(1.5), lf("02"))), -3.0);
  EXPECT_EQ(real_value(call(dash, lf("004"), dbl(0.5))), 1.5);
  EXPECT_EQ(real_value(call(over, dbl(1.0), dbl(4.0))), 0.25);
  EXPECT_EQ(real_value(call(cent, dbl(7.5), lf("2"))), 1.5);
  EXPECT_EQ(real_value(call(powa, lf("2"), dbl(0.5))), std::sqrt(2.0));
  EXPECT_TRUE(std::isinf(real_value(call(over, dbl(1.0), lf("0")))));
}

TEST(MixedArithmetic, IntegersMeetingFractionsBecomeFractions) {
  Term five = integer_to_fraction(lf("5"));
  EXPECT_EQ(show(call(same, call(plus, lf("3"), lf("004")), five)), "K");
  EXPECT_EQ(show(call(same, call(mult, lf("004"), lf("05")), integer_to_fraction(lf("010")))),
            "K");
  // Quotients of mixed numbers are taken as reals.
  EXPECT_EQ(real_value(call(over, lf("1"), lf("004"))), 0.5);
  EXPECT_EQ(show(call(over, lf("004"), lf("004"))), "Z");
  EXPECT_EQ(show(call(cent, five, integer_to_fraction(lf("0")))), "Z");
}

TEST(MixedArithmetic, FractionPowers) {
  EXPECT_EQ(real_value(fraction_to_real(call(powa, lf("004"), lf("10")))), 1024.0);
  EXPECT_EQ(real_value(fraction_to_real(call(powa, lf("004"), lf("03")))), 0.125);
  Term minus_half = real_to_fraction(dbl(-0.5));
  EXPECT_EQ(real_value(fraction_to_real(call(powa, minus_half, lf("3")))), -0.125);
  EXPECT_EQ(real_value(fraction_to_real(call(powa, minus_half, lf("02")))), 4.0);
  Term three = integer_to_fraction(lf("3"));
  EXPECT_EQ(real_value(fraction_to_real(call(powa, three, lf("4")))), 81.0);
  EXPECT_EQ(show(call(powa, three, lf("01"))), "Z");  // no finite binary fraction
  EXPECT_EQ(show(call(powa, lf("00"), lf("5"))), "00");
  EXPECT_EQ(real_value(fraction_to_real(call(powa, three, lf("0")))), 1.0);
  EXPECT_EQ(show(call(powa, lf("004"), lf("99999999999999999999"))), "Z");
  EXPECT_EQ(show(call(powa, lf("3"), lf("004"))), "Z");
  EXPECT_EQ(show(call(powa, lf("004"), lf("004"))), "Z");
}

TEST(TextAndDataArithmetic, JoinCutAndRepeat) {
  EXPECT_EQ(show(call(plus, txt("ab"), txt("cd"))), show(txt("abcd")));
  EXPECT_EQ(show(call(plus, lf("[ab]"), lf("[c]"))), "[abc]");
  Term five = txt("abcde");
  EXPECT_EQ(show(call(dash, five, lf("2"))), show(txt("cde")));
  EXPECT_EQ(show(call(dash, five, lf("02"))), show(txt("abc")));
  EXPECT_EQ(show(call(dash, five, lf("0"))), show(five));
  EXPECT_EQ(show(call(dash, five, lf("5"))), "()");
  EXPECT_EQ(show(call(dash, five, lf("05"))), "()");
  EXPECT_EQ(show(call(dash, five, lf("6"))), "Z");
  EXPECT_EQ(show(call(mult, txt("ab"), lf("3"))), show(txt("ababab")));
  EXPECT_EQ(show(call(mult, txt("ab"), lf("0"))), "()");
  EXPECT_EQ(show(call(mult, txt("ab"), lf("01"))), "Z");
  std::string thirteen;
  for (int i = 0; i < 13; ++i) thirteen += "xyz";
  EXPECT_EQ(show(call(mult, txt("xyz"), lf("13"))), show(txt(thirteen)));
  EXPECT_EQ(show(call(mult, lf("[a[b]]"), lf("2"))), "[a[b]a[b]]");
  // A repetition larger than the machine's memory is an error value, not a stop.
  EXPECT_EQ(show(call(mult, txt("ab"), lf("140737488346000"))), "Z");
  EXPECT_EQ(show(call(mult, lf("[ab]"), lf("9223372036854775807"))), "Z");
  EXPECT_EQ(show(call(dash, lf("[abc]"), lf("01"))), "[ab]");
  EXPECT_EQ(show(call(dash, lf("[abc]"), lf("3"))), "[]");
  // Cutting inside a group would leave unbalanced brackets.
  EXPECT_EQ(show(call(dash, lf("[a[bc]]"), lf("2"))), "Z");
  EXPECT_EQ(show(call(dash, lf("[a[bc]]"), lf("1"))), "[[bc]]");
}

TEST(TextAndDataArithmetic, TwoDataValuesMakeAPair) {
  Term x = lf("[ab]");
  Term y = lf("[c]");
  Term p = call(dash, x, y);
  ASSERT_TRUE(is_pair(p));
  EXPECT_EQ(pair_left(p.get()), x.get());
  EXPECT_EQ(pair_right(p.get()), y.get());
}

TEST(Dispatch, UntypedAndUnmatchedArgumentsGiveZ) {
  for (BuiltinFunction f : {plus, dash, mult, over, cent, powa}) {
    EXPECT_EQ(show(call(f, lf("K"), lf("1"))), "Z");
    EXPECT_EQ(show(call(f, lf("1"), apply(lf("S"), lf("K")))), "Z");
    EXPECT_EQ(show(call(f, txt("a"), dbl(1.0))), "Z");
    EXPECT_EQ(show(call(f, lf("[a]"), lf("004"))), "Z");
    EXPECT_EQ(show(call(f, lf("1"), txt("a"))), "Z");
  }
  EXPECT_EQ(show(call(dash, txt("a"), txt("b"))), "Z");
  EXPECT_EQ(show(call(mult, lf("[a]"), lf("[b]"))), "Z");
  EXPECT_EQ(show(call(dash, txt("ab"), lf("004"))), "Z");
}

TEST(Dispatch, ConvertingSomethingThatIsNoNumberIsFatal) {
  EXPECT_EXIT(real_operand(lf("abc"), kTypeOther), testing::KilledBySignal(SIGABRT),
              "ASSERTION FAILED:b:629");
}

}  // namespace
