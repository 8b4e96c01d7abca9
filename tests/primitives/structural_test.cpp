#include "primitives/structural.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

#include "numbers/numerals.h"
#include "tests/primitives/primitive_calls.h"

namespace {

std::string one(BuiltinFunction f, const Term& x) { return show(call(f, x)); }

TEST(Type, NamesEveryKind) {
  EXPECT_EQ(one(type, lf("05")), "[hint]");
  EXPECT_EQ(one(type, bit_list("5")), "[hint]");
  EXPECT_EQ(one(type, lf("004")), "[numb]");
  EXPECT_EQ(one(type, bit_list("004")), "[numb]");
  EXPECT_EQ(one(type, dbl(1.0)), "[real]");
  EXPECT_EQ(one(type, txt("x")), "[post]");
  EXPECT_EQ(one(type, lf("[]")), "[zits]");
  EXPECT_EQ(one(type, apply(lf("[a]"), lf("[b]"))), "[zits]");
  EXPECT_EQ(one(type, lf("K")), "[void]");
  EXPECT_EQ(one(type, apply(lf("S"), lf("K"))), "[void]");
  // A bit list whose tail is no number is not a number.
  EXPECT_EQ(one(type, apply(apply(lf("J"), lf("K")), lf("abc"))), "[void]");
}

TEST(Rank, LengthsInEachUnit) {
  EXPECT_EQ(one(rank, lf("0123")), "4");
  EXPECT_EQ(one(rank, bit_list("0123")), "4");
  EXPECT_EQ(one(rank, lf("0017")), "4");
  EXPECT_EQ(one(rank, dbl(3.0)), "8");
  EXPECT_EQ(one(rank, txt("abc")), "3");
  EXPECT_EQ(one(rank, txt(std::string(70, 'x'))), "70");
  EXPECT_EQ(one(rank, lf("[]")), "2");
  EXPECT_EQ(one(rank, apply(lf("[ab]"), lf("[c]"))), "7");
  EXPECT_EQ(one(rank, lf("plus")), "Z");
}

TEST(Real, ConversionsToDouble) {
  EXPECT_EQ(real_value(call(real, txt("2.5"))), 2.5);
  EXPECT_EQ(real_value(call(real, txt("  -1e3xyz"))), -1000.0);
  EXPECT_EQ(real_value(call(real, txt("abc"))), 0.0);
  EXPECT_EQ(real_value(call(real, lf("05"))), -5.0);
  EXPECT_EQ(real_value(call(real, bit_list("7"))), 7.0);
  EXPECT_EQ(real_value(call(real, lf("004"))), 2.0);
  EXPECT_EQ(real_value(call(real, lf("[1.25]"))), 1.25);
  Term r = dbl(4.5);
  EXPECT_EQ(call(real, r).get(), r.get());
  EXPECT_EQ(one(real, lf("name")), "Z");
}

// The bit tree a real becomes when it is applied: ((V low) high) down to K and H.
Term real_tree(uint64_t bits, int first, int count) {
  if (count == 1) return lf(((bits >> first) & 1) ? "K" : "H");
  return apply2(lf("V"), real_tree(bits, first, count / 2),
                real_tree(bits, first + count / 2, count / 2));
}

TEST(Real, BitTreeTurnsBackIntoTheReal) {
  double d = -3.75;
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  EXPECT_EQ(real_value(call(real, real_tree(bits, 0, 64))), d);
  EXPECT_EQ(one(real, real_tree(bits, 0, 32)), "Z");
}

TEST(Identity, LeakRawsAndTern) {
  Term x = lf("5");
  EXPECT_EQ(one(leak, x), int64_to_numeral_text(reinterpret_cast<intptr_t>(x.get())));
  EXPECT_EQ(show(call(raws, x, x)), "K");
  EXPECT_EQ(show(call(raws, x, lf("5"))), "H");
  Term a = call(tern, apply(lf("tern_test_f"), lf("a")));
  Term b = call(tern, apply(lf("tern_test_f"), lf("a")));
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(show(call(raws, a, b)), "K");
}

TEST(Identity, LispIsThePrintedFormAsData) {
  EXPECT_EQ(one(lisp, lf("abc")), "[abc]");
  Term p = apply(apply(lf("f"), lf("a")), lf("b"));
  EXPECT_EQ(one(lisp, p), "[" + print_term(p) + "]");
}

TEST(Halves, OfData) {
  EXPECT_EQ(one(leaf, lf("[]")), "K");
  EXPECT_EQ(one(leaf, lf("[a]")), "H");
  EXPECT_EQ(one(leaf, apply(lf("[]"), lf("[]"))), "H");
  EXPECT_EQ(one(leaf, lf("5")), "Z");
  EXPECT_EQ(one(left, lf("5")), "Z");
  EXPECT_EQ(one(rght, txt("ab")), "Z");
  EXPECT_EQ(one(left, lf("[ab[cd]]")), "[ab]");
  EXPECT_EQ(one(rght, lf("[ab[cd]]")), "[cd]");
  EXPECT_EQ(one(left, lf("[x]")), "[]");
  Term l = lf("[a]");
  Term r = lf("[b]");
  Term p = apply(l, r);
  EXPECT_EQ(call(left, p).get(), l.get());
  EXPECT_EQ(call(rght, p).get(), r.get());
}

TEST(Halves, OfEmptyDataAreErrorValues) {
  EXPECT_EQ(one(left, lf("[]")), "Z");
  EXPECT_EQ(one(rght, lf("[]")), "Z");
}

Term data_list(Term j) { return apply2(lf("V"), apply(lf("X"), lf("J")), std::move(j)); }

TEST(Halves, OfPreludePairs) {
  Term l = lf("Ll");
  Term r = lf("Rr");
  Term cell = apply2(lf("J"), l, r);
  EXPECT_EQ(one(leaf, data_list(lf("K"))), "K");
  EXPECT_EQ(one(left, data_list(lf("K"))), "Z");
  EXPECT_EQ(one(leaf, data_list(cell)), "H");
  EXPECT_EQ(one(left, data_list(cell)), print_term(data_list(l)));
  EXPECT_EQ(one(rght, data_list(cell)), print_term(data_list(r)));
  Term pair = apply2(lf("V"), l, r);
  EXPECT_EQ(one(leaf, pair), "H");
  EXPECT_EQ(call(left, pair).get(), l.get());
  EXPECT_EQ(call(rght, pair).get(), r.get());
  EXPECT_EQ(call(rght, cell).get(), r.get());
  EXPECT_EQ(one(leaf, cell), "H");
  EXPECT_EQ(one(left, apply2(lf("W"), l, r)), "Z");
  EXPECT_EQ(one(leaf, apply(lf("V"), l)), "Z");
}

}  // namespace
