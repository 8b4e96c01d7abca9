#include "primitives/conversions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "terms/data_values.h"
#include "primitives/elements.h"
#include "tests/primitives/primitive_calls.h"
#include "primitives/structural.h"

namespace {

std::string one(BuiltinFunction f, const Term& x) { return show(call(f, x)); }

TEST(Init, ToText) {
  Term t = txt("ab");
  EXPECT_EQ(call(init, t).get(), t.get());
  EXPECT_EQ(one(init, lf("321")), show(txt("A")));
  EXPECT_EQ(one(init, lf("01")), show(txt("\xff")));
  EXPECT_EQ(one(init, lf("[a[p]]")), show(txt("a\n")));
  // A plain character is copied: a line feed written as NUL in a literal stays a line feed.
  EXPECT_EQ(one(init, lf("[[q][r]\n]")), show(txt("[]\n")));
  EXPECT_EQ(one(init, lf(std::string("[a\0]", 4))), show(txt(std::string("a\0", 2))));
  EXPECT_EQ(one(init, lf("[a[x]]")), "Z");
  EXPECT_EQ(one(init, apply(lf("[h]"), lf("[i]"))), show(txt("hi")));
  EXPECT_EQ(one(init, dbl(1.0)), show(txt(std::string("\0\0\0\0\0\0\xf0\x3f", 8))));
  EXPECT_EQ(one(init, lf("004")), "Z");
  EXPECT_EQ(one(init, lf("Z")), "Z");
}

// What a one-byte text becomes when applied: bit i as I (set) or H (clear).
Term byte_tree(unsigned char v) {
  auto b = [v](int i) { return lf(((v >> i) & 1) ? "I" : "H"); };
  auto j = [](Term x, Term y) { return apply2(lf("J"), std::move(x), std::move(y)); };
  return apply2(lf("V"), j(j(b(0), b(1)), j(b(2), b(3))), j(j(b(4), b(5)), j(b(6), b(7))));
}

TEST(Init, ByteTreeTurnsBackIntoItsText) {
  EXPECT_EQ(one(init, byte_tree('A')), show(txt("A")));
  EXPECT_EQ(one(init, byte_tree(0xF0)), show(txt("\xf0")));
  EXPECT_EQ(one(init, apply2(lf("V"), lf("H"), lf("H"))), "Z");
}

TEST(Rows, ToData) {
  EXPECT_EQ(one(rows, txt("a\n[]b")), "[a[p][q][r]b]");
  EXPECT_EQ(one(rows, txt(std::string("x\0", 2))), std::string("[x\0]", 4));
  // init and rows are inverse on every byte value.
  for (int b = 0; b < 256; ++b) {
    Term t = txt(std::string(1, char(b)));
    EXPECT_EQ(one(init, call(rows, t)), show(t)) << b;
  }
  EXPECT_EQ(one(rows, lf("0")), "[\n]");
  EXPECT_EQ(one(rows, dbl(2.5)), "[2.500000e+00]");
  EXPECT_EQ(one(rows, lf("65")), "[A]");
  EXPECT_EQ(one(rows, lf("10")), "[[p]]");
  EXPECT_EQ(one(rows, lf("91")), "[[q]]");
  EXPECT_EQ(one(rows, lf("93")), "[[r]]");
  EXPECT_EQ(one(rows, lf("0")), "[\n]");
  EXPECT_EQ(one(rows, lf("321")), "[A]");
  EXPECT_EQ(one(rows, lf("004")), "Z");
  EXPECT_EQ(one(rows, apply(lf("[a]"), lf("[[b]]"))), "[a[b]]");
  EXPECT_EQ(one(rows, lf("S")), "Z");
}

TEST(Rows, EveryByteSurvivesTextToDataAndBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(char(b));
  Term d = call(rows, txt(all));
  EXPECT_EQ(one(init, d), show(txt(all)));
  // Every element of the result has halves: halving it to the end never fails.
  Term rest = d;
  for (int b = 255; b >= 0; --b) {
    ASSERT_EQ(one(leaf, rest), "H") << b;
    DataHalves h = data_halves(rest);
    EXPECT_TRUE(h.right);
    rest = h.left;
  }
  EXPECT_EQ(one(leaf, rest), "K");
}

// The J tree a data value becomes when applied, built by halving as the engine does.
Term j_tree(const Term& data) {
  if (leaf_is(data, "[]")) return lf("K");
  DataHalves h = data_halves(data);
  return apply2(lf("J"), j_tree(h.left), j_tree(h.right));
}

TEST(Rows, DataAppliedToVTurnsBackIntoData) {
  for (const char* text : {"[]", "[a]", "[ab[cd]\n[p]]", "[[][[]]x]", "[[q]]"}) {
    Term list = apply2(lf("V"), apply(lf("X"), lf("J")), j_tree(lf(text)));
    EXPECT_EQ(one(rows, list), text);
  }
  Term wrong = apply2(lf("V"), apply(lf("X"), lf("J")), apply2(lf("J"), lf("K"), lf("H")));
  EXPECT_EQ(one(rows, wrong), "Z");
}

TEST(Lots, ToBitLists) {
  EXPECT_EQ(one(lots, lf("K")), "K");
  EXPECT_EQ(one(lots, lf("5")), show(bit_list("5")));
  EXPECT_EQ(one(lots, bit_list("05")), show(bit_list("05")));
  EXPECT_EQ(one(lots, lf("004")), show(bit_list("004")));
  // 'a' is 0x61: (2 * 0x61 + 1) = 0xC3; a trailing NUL doubles it.
  EXPECT_EQ(one(lots, txt("a")), show(bits_to_bit_list(std::string("\xC3"))));
  EXPECT_EQ(one(lots, txt(std::string("a\0", 2))),
            show(bits_to_bit_list(std::string("\x86\x01", 2))));
  EXPECT_EQ(one(lots, txt("")), "K");
  Term list = call(lots, dbl(-0.0));
  int elements = 0;
  std::string last;
  for (Term t = list; is_pair(t); t = right_of(t)) {
    ++elements;
    last = show(right_of(left_of(t)));
  }
  EXPECT_EQ(elements, 64);
  EXPECT_EQ(last, "K");  // bit 63, the sign
  EXPECT_EQ(one(lots, lf("[a]")), "Z");
}

TEST(Lord, ToExactNumbersAndCodes) {
  EXPECT_EQ(one(lord, dbl(2.0)), "004");
  EXPECT_EQ(one(lord, dbl(0.0)), "00");
  EXPECT_EQ(one(lord, txt("A")), "65");
  EXPECT_EQ(one(lord, txt("\xff")), "01");
  EXPECT_EQ(one(lord, txt("ab")), "Z");
  EXPECT_EQ(one(lord, lf("[a]")), "97");
  EXPECT_EQ(one(lord, lf("[\n]")), "0");
  EXPECT_EQ(one(lord, lf("[[p]]")), "10");
  EXPECT_EQ(one(lord, lf("[[q]]")), "91");
  EXPECT_EQ(one(lord, lf("[[r]]")), "93");
  EXPECT_EQ(one(lord, lf("[ab]")), "Z");
  EXPECT_EQ(one(lord, lf("0123")), "0123");
  EXPECT_EQ(one(lord, bit_list("0123")), "0123");
  EXPECT_EQ(one(lord, bit_list("0017")), "0017");
  EXPECT_EQ(one(lord, lf("K")), "K");
  EXPECT_EQ(one(lord, lf("S")), "Z");
  // A list that ends in a leaf that is no number reads as K.
  Term broken = apply2(lf("J"), lf("K"), apply2(lf("J"), lf("H"), lf("S")));
  EXPECT_EQ(one(lord, broken), "K");
  EXPECT_EQ(one(lord, apply2(lf("J"), lf("S"), lf("K"))), "Z");
}

}  // namespace
