#include "primitives/comparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "terms/data_values.h"
#include "numbers/fractions.h"
#include "tests/primitives/primitive_calls.h"

namespace {

std::string cmp(BuiltinFunction f, const Term& x, const Term& y) { return show(call(f, x, y)); }

TEST(Ordering, DifferentTypesOrderByTypeLetter) {
  // text < real < integer < binary fraction < data
  Term values[] = {txt("zzz"), dbl(1e300), lf("05"), lf("004"), lf("[]")};
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      if (i == j) continue;
      EXPECT_EQ(cmp(less, values[i], values[j]), i < j ? "K" : "H") << i << " " << j;
      EXPECT_EQ(cmp(gteq, values[i], values[j]), i < j ? "H" : "K") << i << " " << j;
    }
  }
  EXPECT_EQ(cmp(less, lf("K"), lf("1")), "Z");
  EXPECT_EQ(cmp(gteq, lf("1"), lf("plus")), "Z");
}

TEST(Ordering, Integers) {
  EXPECT_EQ(cmp(less, lf("05"), lf("05")), "H");
  EXPECT_EQ(cmp(gteq, lf("05"), lf("05")), "K");
  EXPECT_EQ(cmp(less, lf("07"), lf("05")), "K");
  EXPECT_EQ(cmp(less, lf("05"), lf("0")), "K");
  EXPECT_EQ(cmp(less, lf("0"), lf("05")), "H");
  EXPECT_EQ(cmp(less, lf("99"), lf("100")), "K");
  EXPECT_EQ(cmp(less, lf("0100"), lf("099")), "K");
  EXPECT_EQ(cmp(less, lf("123456789012345678901234567890"), lf("123456789012345678901234567891")),
            "K");
  EXPECT_EQ(cmp(less, bit_list("3"), lf("4")), "K");
  EXPECT_EQ(cmp(gteq, bit_list("04"), lf("03")), "H");
}

TEST(Ordering, TextsAndDataByUnsignedBytes) {
  EXPECT_EQ(cmp(less, txt("a"), txt("ab")), "K");
  EXPECT_EQ(cmp(less, txt("ab"), txt("b")), "K");
  EXPECT_EQ(cmp(less, txt("a"), txt("\xff")), "K");
  EXPECT_EQ(cmp(gteq, txt(std::string("a\0b", 3)), txt(std::string("a\0a", 3))), "K");
  EXPECT_EQ(cmp(less, apply(lf("[a]"), lf("[b]")), lf("[ac]")), "K");
  EXPECT_EQ(cmp(less, lf("[ab]"), apply(lf("[a]"), lf("[b]"))), "H");
}

TEST(Ordering, RealsAndNaN) {
  EXPECT_EQ(cmp(less, dbl(1.5), dbl(2.0)), "K");
  EXPECT_EQ(cmp(gteq, dbl(-0.0), dbl(0.0)), "K");
  Term nan = dbl(std::nan(""));
  EXPECT_EQ(cmp(less, nan, nan), "H");
  EXPECT_EQ(cmp(gteq, nan, nan), "H");
  EXPECT_EQ(cmp(less, nan, dbl(1.0)), "H");
  EXPECT_EQ(cmp(gteq, dbl(1.0), nan), "H");
}

TEST(Ordering, Fractions) {
  Term half = real_to_fraction(dbl(0.5));
  Term minus_two = real_to_fraction(dbl(-2.0));
  EXPECT_EQ(cmp(less, minus_two, half), "K");
  EXPECT_EQ(cmp(less, half, lf("004")), "K");
  EXPECT_EQ(cmp(gteq, half, minus_two), "K");
  EXPECT_EQ(cmp(less, half, half), "H");
}

TEST(Equality, SameNodeFirstThenTypes) {
  Term f = apply(lf("S"), lf("K"));
  EXPECT_EQ(cmp(same, f, f), "K");
  EXPECT_EQ(cmp(diff, f, f), "H");
  EXPECT_EQ(cmp(same, f, apply(lf("S"), lf("K"))), "Z");
  EXPECT_EQ(cmp(diff, lf("K"), lf("K")), "Z");
  EXPECT_EQ(cmp(same, lf("5"), dbl(5.0)), "H");
  EXPECT_EQ(cmp(diff, lf("5"), dbl(5.0)), "K");
  EXPECT_EQ(cmp(same, lf("5"), bit_list("5")), "K");
  EXPECT_EQ(cmp(same, lf("05"), bit_list("05")), "K");
  EXPECT_EQ(cmp(same, lf("5"), lf("05")), "H");
  EXPECT_EQ(cmp(same, dbl(-0.0), dbl(0.0)), "K");
  Term nan = dbl(std::nan(""));
  EXPECT_EQ(cmp(same, nan, dbl(std::nan(""))), "H");
  EXPECT_EQ(cmp(same, txt("ab"), txt("ab")), "K");
  EXPECT_EQ(cmp(same, txt("ab"), txt("abc")), "H");
  EXPECT_EQ(cmp(same, apply(lf("[a]"), lf("[b]")), lf("[ab]")), "K");
  EXPECT_EQ(cmp(same, lf("004"), bit_list("004")), "K");
  EXPECT_EQ(cmp(same, lf("004"), lf("0004")), "H");
}

TEST(Signs, BuckReadsSignsFirstBytesAndLeftHalves) {
  EXPECT_EQ(show(call(buck, lf("0"))), "K");
  EXPECT_EQ(show(call(buck, lf("03"))), "H");
  EXPECT_EQ(show(call(buck, bit_list("03"))), "H");
  EXPECT_EQ(show(call(buck, dbl(-0.0))), "H");
  EXPECT_EQ(show(call(buck, dbl(2.0))), "K");
  EXPECT_EQ(show(call(buck, real_to_fraction(dbl(-0.5)))), "H");
  EXPECT_EQ(show(call(buck, lf("00"))), "K");
  EXPECT_EQ(show(call(buck, txt("abc"))), "[a]");
  EXPECT_EQ(show(call(buck, txt("\n"))), "[[p]]");
  EXPECT_EQ(show(call(buck, txt("["))), "[[q]]");
  EXPECT_EQ(show(call(buck, txt("]x"))), "[[r]]");
  // NUL is copied as itself, and such data still has halves.
  Term nul = call(buck, txt(std::string(1, '\0')));
  EXPECT_EQ(show(nul), std::string("[\0]", 3));
  EXPECT_TRUE(data_halves(nul).right);
  EXPECT_EQ(show(call(buck, txt(""))), "Z");
  EXPECT_EQ(show(call(buck, lf("[abc]"))), "[ab]");
  EXPECT_EQ(show(call(buck, lf("[]"))), "Z");
  EXPECT_EQ(show(call(buck, lf("S"))), "Z");
}

TEST(Signs, WaveNegatesAndDropsFirst) {
  EXPECT_EQ(show(call(wave, lf("05"))), "5");
  EXPECT_EQ(show(call(wave, lf("5"))), "05");
  EXPECT_EQ(show(call(wave, lf("0"))), "0");
  EXPECT_EQ(show(call(wave, bit_list("7"))), "07");
  EXPECT_EQ(real_value(call(wave, dbl(1.5))), -1.5);
  EXPECT_EQ(show(call(wave, txt("abc"))), show(txt("bc")));
  EXPECT_EQ(show(call(wave, txt(""))), "Z");
  EXPECT_EQ(show(call(wave, lf("[a[bc]]"))), "[bc]");
  EXPECT_EQ(show(call(wave, apply(lf("[a]"), lf("[b]")))), "[b]");
  EXPECT_EQ(show(call(wave, lf("[]"))), "Z");
  EXPECT_EQ(real_value(fraction_to_real(call(wave, lf("004")))), -2.0);
  EXPECT_EQ(show(call(wave, lf("00"))), "00");
  EXPECT_EQ(show(call(wave, lf("H"))), "Z");
}

TEST(StructuralOrder, CmprReportsOneZeroMinusOne) {
  Term a = lf("a");
  EXPECT_EQ(show(call(cmpr, lf("abc"), lf("abc"))), "0");
  EXPECT_EQ(show(call(cmpr, a, a)), "0");
  EXPECT_EQ(show(call(cmpr, lf("a"), apply(lf("a"), lf("b")))), "1");
  EXPECT_EQ(show(call(cmpr, lf("b"), lf("a"))), "01");
  EXPECT_EQ(show(call(cmpr, lf("a"), lf("ab"))), "1");
  EXPECT_EQ(show(call(cmpr, apply(lf("f"), lf("b")), apply(lf("f"), lf("a")))), "01");
}

}  // namespace
